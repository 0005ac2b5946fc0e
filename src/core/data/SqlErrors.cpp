#include "core/data/SqlErrors.h"

#include <QSqlError>

namespace tl {

bool refusesRecord(const QSqlError& error) {
    // SQLite's primary result codes (the low byte of an extended code).
    constexpr int tooBig = 18, constraint = 19, mismatch = 20, range = 25;
    const int code = error.nativeErrorCode().toInt() & 0xFF;
    return code == constraint || code == mismatch || code == tooBig || code == range;
}

} // namespace tl
