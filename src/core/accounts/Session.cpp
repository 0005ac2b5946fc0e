#include "core/accounts/Session.h"

#include "core/accounts/Rights.h"

namespace tl {

bool Session::hasRight(const QString& name) const {
    return Rights::test(rights, name);
}

} // namespace tl
