#pragma once

#include <QDate>
#include <QString>

namespace tl {

// How imported texts are read as numbers and dates.

// The number a text starts with: blanks, tabs and line feeds are ignored
// wherever they stand; the longest leading part that forms a number (sign,
// digits, one decimal point, exponent) counts; no such part gives 0. So
// "12.5箱" gives 12.5 and "1,200" gives 1.
double importNumber(const QString& text);
// importNumber after removing every "$", "￥" and "¥".
double importMoney(const QString& text);
// A date written year first: 2009-01-15, 2009/1/15, 2009.1.15 or
// 2009年1月15日, optionally followed by a time, which is dropped. An invalid
// date for anything else.
QDate importDate(const QString& text);

} // namespace tl
