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

void runStatistic(MainWindow& window, int index) {
    Grid& grid = window.grid();
    const Database& db = window.database();
    const MainTabs& tabs = *window.tabs();
    Progress& progress = window.progress();
    grid.setVisible(false);
    bool shown = true;
    bool stock = false;
    std::optional<Period> period; // none: the current stock
    switch (index) {
    case 10:
    case 11: {
        period = periodOf(tabs, 0);
        shown = stockChangeReport(db, grid, period->first, period->last,
                                  index == 11 ? StockMeasure::Values : StockMeasure::Quantities,
                                  progress);
        stock = true;
        break;
    }
    case 12:
        shown = stockReport(db, grid, progress);
        stock = true;
        break;
    case 13:
    case 14: {
        const TradeSide side = index == 13 ? TradeSide::Sales : TradeSide::Purchases;
        period = periodOf(tabs, index == 13 ? 2 : 4);
        if (!tradeTotals(db, grid, side, *period, progress))
            dialogs().info(emptyPeriodMessage(side));
        break;
    }
    case 15:
    case 16: // an empty period shows the empty grid, without a message
        period = periodOf(tabs, index == 15 ? 6 : 8);
        outstandingMatrix(db, grid, index == 15 ? TradeSide::Sales : TradeSide::Purchases, *period,
                          progress);
        break;
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
