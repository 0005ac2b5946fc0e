// The master-data editors, empty and on a record, and the rights editor.
#include "Shots.h"

#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "gui/masterdata/MasterEditorWindow.h"
#include "gui/masterdata/RightsEditor.h"

using namespace tl;

SHOTS(50, "masterdata") {
    for (MasterTable t : allMasterTables()) {
        MasterEditor empty(t, ctx.session, ctx.db);
        ctx.save(&empty, empty.windowTitle());
        const MasterTableDef& def = empty.definition();
        const qint64 first =
            ctx.db
                .value(QStringLiteral("SELECT MIN(%1) FROM %2")
                           .arg(Database::ident(def.keyField), Database::ident(def.table)))
                .toLongLong();
        if (first > 0 &&
            (t == MasterTable::Customer || t == MasterTable::Product || t == MasterTable::Staff)) {
            MasterEditor onRecord(t, ctx.session, ctx.db);
            onRecord.setKey(first);
            ctx.save(&onRecord, onRecord.windowTitle() + QStringLiteral("（修改）"));
        }
    }
    RightsEditor rights(ctx.session, ctx.db);
    rights.selectOperator(ctx.session.operatorId.toLongLong(), ctx.session.operatorName);
    ctx.save(&rights, rights.windowTitle());
}
