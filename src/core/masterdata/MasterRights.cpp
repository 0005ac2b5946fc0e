#include "core/masterdata/MasterRights.h"

#include "core/accounts/Commands.h"
#include "core/accounts/Session.h"

namespace tl {

bool mayViewList(const Session& session, MasterTable table) {
    return session.hasRight(masterTableDef(table).viewRight);
}

bool mayAdd(const Session& session, MasterTable table) {
    return session.hasRight(masterTableDef(table).addRight);
}

bool mayModify(const Session& session, MasterTable table, qint64 key) {
    return session.hasRight(masterTableDef(table).modifyRight) ||
           (table == MasterTable::Staff && mayChangeOwnRow(session, key));
}

bool mayOpenNested(const Session& session, MasterTable table) {
    const MasterTableDef& def = masterTableDef(table);
    if (def.nested == NestedEditor::None)
        return false;
    return def.nestedRight.isEmpty() || session.hasRight(def.nestedRight);
}

} // namespace tl
