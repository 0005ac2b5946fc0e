#pragma once

#include "core/charts/ChartGrid.h"
#include "core/support/Progress.h"

#include <QDate>

namespace tl {

class Database;
class Grid;

// The chart tables of the chart page. Each fills a Grid with a chart table
// (see ChartGrid.h) and returns its title; the window draws it with
// paintChart, the command-line tool saves it with saveChartPicture.

struct TrendQuery {
    QDate from, to;       // either order; whole months from the earlier to the later
    int warehouseId = 0;  // 0 or less: every warehouse
    int productId = 0;    // 0 or less: every product
    bool amounts = false; // Price x Num instead of Num
};

// Purchases ("采购") and sales ("销售") summed per month. Title, e.g.
// "采购/销售数量变化示意图(2008.01-2008.12)" or "采购/销售金额变化示意图(...)",
// followed by what a filter limits it to: " 仓库：一号库 产品：铅笔".
// Not drawable only when a date is invalid. Throws DbError when a statement fails.
ChartResult trendTable(const Database& db, const TrendQuery& query, Grid& grid,
                       Progress& progress = Progress::silent());

struct ProfitQuery {
    QDate from, to;    // either order, as above
    int productId = 0; // 0 or less: every product
};

// The gross profit of each month ("毛利额"): the month's sales amounts minus
// the cost of the units sold, taken first-in-first-out from the purchase lots
// in date order. Sales before the range consume the oldest lots first; units
// sold when the lots are used up cost nothing; purchases after the range are
// never used. Quantities are whole numbers: every running sum is rounded,
// halves to even. A month may be negative. Title
// "销售毛利情况变化示意图(2008.01-2008.12)" (" 产品：铅笔" after it when filtered). When no sale
// exists up to the end of the range the table keeps its zero rows and the result says
// "没有销售记录！" and is not drawable. Throws DbError when a statement fails.
ChartResult profitTable(const Database& db, const ProfitQuery& query, Grid& grid,
                        Progress& progress = Progress::silent());

} // namespace tl
