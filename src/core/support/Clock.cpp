#include "core/support/Clock.h"

namespace tl {
namespace {
QDate pinned;
}

QDate Clock::today() {
    return pinned.isValid() ? pinned : QDate::currentDate();
}

QDateTime Clock::now() {
    const QTime time = QTime::currentTime();
    return QDateTime(today(), QTime(time.hour(), time.minute()));
}

void Clock::setToday(const QDate& date) {
    pinned = date;
}

} // namespace tl
