#pragma once

#include "core/support/Progress.h"

#include <QDate>

namespace tl {

class Database;
class Grid;

// The current stock of every product in every warehouse, in quantities and in
// first-in-first-out values, with class subtotals, a total per warehouse and a
// total per product. Recomputes Stock from the records first (so it also
// repairs Stock) and values it into the work table T_ST1. Two rows per
// warehouse ("数量", "金额") and two total rows. False, with the grid left
// empty, when there is no warehouse or no product.
bool stockReport(const Database& db, Grid& grid, Progress& progress = Progress::silent());

// The stock of every product in every warehouse as of two dates and the
// change between them ("增减量" = second − first), in quantities or in
// values; three rows per warehouse and three total rows. Recomputes the
// balances into T_ST1 and T_ST2 (as of 2200-01-01 Stock is replaced too).
// A first date after the second is not refused: the changes change sign.
enum class StockMeasure { Quantities, Values };
bool stockChangeReport(const Database& db, Grid& grid, const QDate& first, const QDate& second,
                       StockMeasure measure, Progress& progress = Progress::silent());

} // namespace tl
