#pragma once

#include "core/support/Progress.h"
#include "core/values/Period.h"

#include <QDate>
#include <QString>

namespace tl {

class Database;
class Grid;

// Which records a trade report reads: sales (Sale, customers) or purchases
// (Buy, suppliers).
enum class TradeSide { Sales, Purchases };

// Sales or purchase totals per product for a period: quantity, amount
// (Price × Num), amount received / paid and amount outstanding, one row per
// product in PID order and a bold total row. False, with the grid cleared to
// its empty shape, when the period holds no record: the caller shows
// emptyPeriodMessage(side).
bool tradeTotals(const Database& db, Grid& grid, TradeSide side, const Period& period,
                 Progress& progress = Progress::silent());
QString emptyPeriodMessage(TradeSide side);

// Receivables (sales, per customer) or payables (purchases, per supplier) for
// a period: what is still owed (Price × Num − Pay) per product and partner,
// with row totals, column totals and a grand total. False, with the grid
// cleared and no message, when the period holds no record.
bool outstandingMatrix(const Database& db, Grid& grid, TradeSide side, const Period& period,
                       Progress& progress = Progress::silent());

} // namespace tl
