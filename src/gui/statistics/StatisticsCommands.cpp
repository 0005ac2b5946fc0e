#include "gui/statistics/StatisticsCommands.h"

#include "core/grid/Grid.h"
#include "core/printing/PrintHeading.h"
#include "core/statistics/HideEmpty.h"
#include "core/statistics/StockReport.h"
#include "core/statistics/TradeReports.h"
#include "gui/mainwindow/MainTabs.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/widgets/Dialogs.h"

#include <QCheckBox>
#include <QDateEdit>
#include <optional>

namespace tl {

namespace {

// Kept on the window: the dates may have been changed since the report ran.
constexpr char kShownPeriod[] = "tlShownReportPeriod";

Period periodOf(const MainTabs& tabs, int firstPicker) {
    return {tabs.datePicker(firstPicker)->date(), tabs.datePicker(firstPicker + 1)->date()};
}

} // namespace

QString shownReportPeriod(const MainWindow& window) {
    return window.property(kShownPeriod).toString();
}

QCheckBox* hideEmptyBox(const MainWindow& window) {
    return window.tabs()->findChild<QCheckBox*>(QStringLiteral("CHK3_0"));
}

void runStatistic(MainWindow& window, Cmd command) {
    Grid& grid = window.grid();
    const Database& db = window.database();
    const MainTabs& tabs = *window.tabs();
    Progress& progress = window.progress();
    grid.setVisible(false);
    bool shown = true;
    bool stock = false;
    std::optional<Period> period; // none: the current stock
    switch (command) {
    case Cmd::StockQuantities:
    case Cmd::StockValues: {
        period = periodOf(tabs, 0);
        shown = stockChangeReport(db, grid, period->first, period->last,
                                  command == Cmd::StockValues ? StockMeasure::Values
                                                              : StockMeasure::Quantities,
                                  progress);
        stock = true;
        break;
    }
    case Cmd::CurrentStock:
        shown = stockReport(db, grid, progress);
        stock = true;
        break;
    case Cmd::SalesTotals:
    case Cmd::PurchaseTotals: {
        const bool sales = command == Cmd::SalesTotals;
        const TradeSide side = sales ? TradeSide::Sales : TradeSide::Purchases;
        period = periodOf(tabs, sales ? 2 : 4);
        if (!tradeTotals(db, grid, side, *period, progress))
            dialogs().info(emptyPeriodMessage(side));
        break;
    }
    case Cmd::Receivables:
    case Cmd::Payables: { // an empty period shows the empty grid, without a message
        const bool sales = command == Cmd::Receivables;
        period = periodOf(tabs, sales ? 6 : 8);
        outstandingMatrix(db, grid, sales ? TradeSide::Sales : TradeSide::Purchases, *period,
                          progress);
        break;
    }
    default:
        return;
    }
    window.setProperty(kShownPeriod,
                       period ? PrintHeading::periodText(period->first, period->last) : QString());
    if (stock && shown) {
        if (QCheckBox* box = hideEmptyBox(window); box && box->isChecked())
            hideEmptyLines(grid, true);
    }
    // A report opens with no row drawn selected, which would hide its colours.
    grid.clearCurrent();
    grid.setVisible(shown);
}

void connectStatistics(MainWindow& window) {
    QCheckBox* box = hideEmptyBox(window);
    if (!box)
        return;
    QObject::connect(box, &QCheckBox::toggled, &window, [&window](bool on) {
        // Only a stock report on show is touched.
        const MainTabs& tabs = *window.tabs();
        if (!window.grid().isVisible() || tabs.currentIndex() != StatisticsTab ||
            tabs.statisticsTabs()->currentIndex() != 0)
            return;
        hideEmptyLines(window.grid(), on);
    });
}

} // namespace tl
