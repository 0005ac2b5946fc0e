#include "data/Session.h"

#include "data/Rights.h"

namespace tl {

bool Session::hasRight(const QString& name) const {
    return Rights::test(rights, name);
}

} // namespace tl
