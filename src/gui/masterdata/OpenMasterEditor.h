#pragma once

#include "core/masterdata/MasterTable.h"

#include <QString>
#include <optional>

class QWidget;

namespace tl {

class Database;
struct Session;

// Opens the editor of a master table over its owner and returns when it is
// closed. With a key the editor starts on that record (to modify it); without
// one it starts empty (to add). True when anything may have changed, so the
// owner reloads its list. The operator's rights in the session may have
// changed too (the operator editor opens the rights editor).
bool openMasterEditor(QWidget* owner, MasterTable table, Session& session, const Database& db,
                      std::optional<qint64> key);

// Opens the rights editor on one operator and returns when it is closed, with
// what a save did ("已保存操作员“张三”的权限。"), empty when nothing was saved.
// When the operator edited his own rights, session.rights holds the new ones.
QString openRightsEditor(QWidget* owner, Session& session, const Database& db, qint64 uid,
                         const QString& name);

} // namespace tl
