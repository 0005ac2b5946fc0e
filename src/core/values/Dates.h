#pragma once

#include <QDate>
#include <QString>

namespace tl {

QDate firstOfMonth(const QDate& date);
QDate lastOfMonth(const QDate& date);
// "2009.02", "2009.11"
QString yearMonthText(const QDate& date);

} // namespace tl
