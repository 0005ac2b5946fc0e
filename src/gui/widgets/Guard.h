#pragma once

#include "core/data/Database.h"
#include "gui/widgets/Dialogs.h"

namespace tl {

// Runs one user action; a failed statement ends the action with a message
// instead of ending the program: a Chinese text for the operator, the
// engine's own words behind the details button. Returns false when the
// action failed.
template <class F> bool guarded(F&& action) {
    try {
        action();
        return true;
    } catch (const DbError& e) {
        dialogs().error(e.userText(), e.detail());
        return false;
    }
}

} // namespace tl
