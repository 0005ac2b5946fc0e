#pragma once

#include <QDate>
#include <QDateTime>

namespace tl {

// The one source of "today" for business code; tests pin it.
class Clock {
public:
    static QDate today();
    // Today (pinned or not) at the time of day, to the minute, as printouts show it.
    static QDateTime now();
    static void setToday(const QDate& date); // an invalid date returns to the real clock
};

} // namespace tl
