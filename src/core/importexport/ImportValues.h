#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace tl {

// How imported texts are read as numbers and dates.

// The number a text starts with: blanks, tabs and line feeds are ignored
// wherever they stand; a sign, digits, commas that each start a group of
// three digits ("1,299.00" is 1299), one decimal point and an exponent form
// it, and what follows is ignored ("12.5箱" is 12.5). Nothing for text that
// does not begin with a number, empty text included. A number beyond the
// range of a double reads as infinity, which the stores refuse.
std::optional<double> importNumber(const QString& text);
// importNumber after removing every "$", "￥" and "¥".
std::optional<double> importMoney(const QString& text);
// A date written year first: 2009-01-15, 2009/1/15, 2009.1.15 or
// 2009年1月15日; or day first with "-", "/" or "." (15/01/2009) when the
// order cannot be mistaken: the first number is above 12, or both are the
// same. A time may follow and is dropped. An invalid date for anything else.
QDate importDate(const QString& text);

} // namespace tl
