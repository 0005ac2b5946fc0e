#pragma once

#include "data/Database.h"
#include "data/Dialogs.h"

namespace tl {

// Runs one user action; a failed statement ends the action with a message
// instead of ending the program. Returns false when the action failed.
template <class F> bool guarded(F&& action) {
    try {
        action();
        return true;
    } catch (const DbError& e) {
        dialogs().info(QStringLiteral("数据库操作失败，本次操作未保存：\n") + e.message());
        return false;
    }
}

} // namespace tl
