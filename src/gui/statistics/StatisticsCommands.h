#pragma once

#include "core/accounts/Commands.h"

#include <QString>

class QCheckBox;

namespace tl {

class MainWindow;

// The statistics commands of the main window's "盘 点" tab, from
// Cmd::StockQuantities to Cmd::Payables: each reads its two date pickers, fills the shared grid
// with one report and shows it. The stock reports then apply "隐藏无数据行列".
void runStatistic(MainWindow& window, Cmd command);

// The period of the report the last command showed, as its printout heads
// it ("2024-03-01 至 2024-03-31"); empty for the current stock.
QString shownReportPeriod(const MainWindow& window);

// Wires the "隐藏无数据行列" box (CHK3) of the stock page to the grid.
void connectStatistics(MainWindow& window);
QCheckBox* hideEmptyBox(const MainWindow& window);

} // namespace tl
