#include "core/data/SqlErrors.h"

#include <QSqlError>

namespace tl {

bool refusesRecord(const QSqlError& error) {
    // A server's SQLSTATE: data exceptions (22) and constraint violations (23).
    const QString state = error.nativeErrorCode();
    if (state.size() == 5)
        return state.startsWith(QLatin1String("22")) || state.startsWith(QLatin1String("23"));
    // SQLite's primary result codes (the low byte of an extended code).
    constexpr int tooBig = 18, constraint = 19, mismatch = 20, range = 25;
    const int code = error.nativeErrorCode().toInt() & 0xFF;
    return code == constraint || code == mismatch || code == tooBig || code == range;
}

} // namespace tl
