#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

namespace tl {

// Small conversions every window and report uses.

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

// "12‖铅笔": the drop-down item of a record; the key is the part before "‖".
QString itemText(const QString& name, const QVariant& key);
// The key of an item text: 0 when there is no "‖" or no leading number;
// a fractional number rounds to the nearest whole one, halves to even.
int itemId(const QString& text);
// The name of an item text: the part after "‖", the whole text when there is none.
QString itemName(const QString& text);

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

QDate firstOfMonth(const QDate& date);
QDate lastOfMonth(const QDate& date);
QDate firstOfYear(); // of the current year (Clock)
QDate lastOfYear();
// "2009.02", "2009.11"
QString yearMonthText(const QDate& date);

// Copies source over target (replacing it), through a temporary file of a
// unique name that is renamed over the target once complete. False, leaving
// the target as it was, when the source does not exist or the copy fails.
// The copy is readable and writable by its owner only.
bool copyFileReplacing(const QString& source, const QString& target);
// Flushes a file, or a folder's entries (so that a rename in it survives a
// power failure), to the disk; false when it cannot be opened or flushed.
bool syncToDisk(const QString& path);
// Why this user cannot read the existing file at path, in the operator's
// words ("没有读取权限…"); empty when it can be read (or does not exist).
// Asks the file system only: no descriptor is opened, so no lock is lost.
QString unreadableReason(const QString& path);

// Rounds to the nearest whole number, halves to the even neighbour, saturating
// at the 32-bit range, as the stock table expects of quantities.
int roundHalfEven(double value);

} // namespace tl
