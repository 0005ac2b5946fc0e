#pragma once

#include <QString>
#include <QVariant>
#include <optional>

namespace tl {

// A value's text form, trimmed: numbers as plain decimals (never an exponent:
// 0.00001, 1000000000000000; up to 15 significant digits), dates as
// yyyy-MM-dd, null as empty text.
QString toText(const QVariant& value);

// A computed sum or difference rounded to 6 decimals, so that binary noise
// (80.3 - 80.2 = 0.0999999999999943) never reaches a text, a cut to two
// decimals or a rounding to whole units. -0 comes back as 0.
double roundSum(double value);
// roundSum, then its plain decimal text: 7.5, -0.1, 12.
QString sumText(double value);
// roundSum, then the money form: 0.1 gives "0.10", 12.349 gives "12.34".
QString sumMoneyText(double value);
// A cell text read back as a number: "￥" and "," removed; "-", empty or
// anything that is not a number reads 0.
double cellNumber(const QString& text);

// The number a typed text begins with ("12.5元" is 12.5, "abc" is 0), as the
// entry windows read their boxes. A number too large for a double reads as
// infinite, for the caller to refuse.
double leadingNumber(const QString& text);
// The same, but nothing when the text does not begin with a number ("abc").
std::optional<double> readLeadingNumber(const QString& text);

// Money form: exactly two decimals, cut off rather than rounded, no "￥" or ",".
QString moneyText(const QString& text);
// The text with every "￥" and "," removed, ready to be read as a number.
QString moneyValue(const QString& text);

// Rounds to the nearest whole number, halves to the even neighbour, saturating
// at the 32-bit range, as the stock table expects of quantities.
int roundHalfEven(double value);

} // namespace tl
