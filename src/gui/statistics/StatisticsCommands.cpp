#include "statistics/StatisticsCommands.h"

#include "grid/Grid.h"
#include "mainwindow/MainTabs.h"
#include "mainwindow/MainWindow.h"
#include "printing/PrintHeading.h"
#include "statistics/HideEmpty.h"
#include "statistics/StockReport.h"
#include "statistics/TradeReports.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QDateEdit>

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
    // The pickers of the page: 0 and 1 for the stock change, then two a page.
    if (index >= 10 && index <= 16) {
        const int picker = index <= 11 ? 0 : (index - 12) * 2;
        const Period p = periodOf(tabs, picker);
        window.setProperty(kShownPeriod,
                           index == 12 ? QString() : PrintHeading::periodText(p.first, p.last));
    }
    switch (index) {
    case 10:
    case 11: {
        const Period p = periodOf(tabs, 0);
        shown = stockChangeReport(db, grid, p.first, p.last,
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
        if (!tradeTotals(db, grid, side, periodOf(tabs, index == 13 ? 2 : 4), progress))
            dialogs().info(emptyPeriodMessage(side));
        break;
    }
    case 15:
    case 16: // an empty period shows the empty grid, without a message
        outstandingMatrix(db, grid, index == 15 ? TradeSide::Sales : TradeSide::Purchases,
                          periodOf(tabs, index == 15 ? 6 : 8), progress);
        break;
    default:
        return;
    }
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
