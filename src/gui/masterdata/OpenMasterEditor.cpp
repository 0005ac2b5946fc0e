#include "gui/masterdata/OpenMasterEditor.h"

#include "gui/masterdata/MasterEditorWindow.h"
#include "gui/masterdata/RightsEditor.h"
#include "gui/widgets/OwnerBlock.h"

namespace tl {

bool openMasterEditor(QWidget* owner, MasterTable table, Session& session, const Database& db,
                      std::optional<qint64> key) {
    MasterEditor editor(table, session, db, owner);
    if (key)
        editor.setKey(*key);
    OwnerBlock block(owner);
    editor.setEnabled(true);
    editor.exec();
    return editor.changed();
}

QString openRightsEditor(QWidget* owner, Session& session, const Database& db, qint64 uid,
                         const QString& name) {
    RightsEditor editor(session, db, owner);
    editor.selectOperator(uid, name);
    OwnerBlock block(owner);
    editor.setEnabled(true);
    editor.exec();
    return editor.saved() ? editor.savedText() : QString();
}

} // namespace tl
