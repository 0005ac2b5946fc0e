#pragma once

#include <QDate>

namespace tl {

// The one source of "today" for business code; tests pin it.
class Clock {
public:
    static QDate today();
    static void setToday(const QDate& date); // an invalid date returns to the real clock
};

} // namespace tl
