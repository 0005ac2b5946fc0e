#pragma once

#include <QString>

namespace tl {

// How record grids show values.

// 1234567.5 -> "1,234,567.50", -1234 -> "-1,234.00": "," between thousands,
// two decimals rounded to the nearest.
QString groupedMoney(double value);

// "2009-02-04" (or "2009-02-04 10:30:00") -> "2009.02.04"; any other text
// comes back unchanged.
QString gridDate(const QString& isoText);

} // namespace tl
