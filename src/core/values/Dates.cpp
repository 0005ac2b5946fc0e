#include "core/values/Dates.h"

namespace tl {

QDate firstOfMonth(const QDate& date) {
    return QDate(date.year(), date.month(), 1);
}

QDate lastOfMonth(const QDate& date) {
    return firstOfMonth(date).addMonths(1).addDays(-1);
}

QString yearMonthText(const QDate& date) {
    return QStringLiteral("%1.%2").arg(date.year()).arg(date.month(), 2, 10, QLatin1Char('0'));
}

} // namespace tl
