#pragma once

#include "core/masterdata/MasterTable.h"

#include <QtGlobal>

namespace tl {

struct Session;

// What the logged-in operator may do in a master editor. The editors and the
// main window ask the same questions, so no path allows what a disabled
// button forbids.
bool mayViewList(const Session& session, MasterTable table);
bool mayAdd(const Session& session, MasterTable table);
// Modifying a record; his own operator record also by the operator who may
// not see the operator list (mayChangeOwnRow).
bool mayModify(const Session& session, MasterTable table, qint64 key);
bool mayOpenNested(const Session& session, MasterTable table);

} // namespace tl
