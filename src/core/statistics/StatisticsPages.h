#pragma once

#include <QString>

namespace tl {

// The five pages of the main window's statistics tab, in tab order.
enum class StatisticsPage { Stock, Sales, Purchases, Receivables, Payables };

// The page's caption, which also names the sheet a report is exported to:
// "盘点", "销售盘点", "采购盘点", "应收款盘点", "应付款盘点".
QString statisticsPageTitle(StatisticsPage page);

} // namespace tl
