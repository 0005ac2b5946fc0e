// Times the statistics on the benchmark account set (1,000 products, 20
// warehouses, 500 customers, 100 suppliers, 550,000 records over three
// years): the stock report with its rebuild and valuation, the stock change
// report in values, a year of sales and purchase totals, the receivables
// matrix of all three years, and the grid view's first paint and scrolling
// of that matrix. Usage: bench_statistics [folder for the account set] [--pg URL]
#include "core/grid/Grid.h"
#include "core/statistics/StockReport.h"
#include "core/statistics/TradeReports.h"
#include "gui/widgets/AppStyle.h"
#include "gui/widgets/GridView.h"
#include "support/BenchData.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace tl;
using namespace tl::bench;

namespace {

long maxRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    applyAppStyle(app);
    const BenchArgs args(argc, argv);
    QTemporaryDir dir;
    auto db = openBenchAccountSet(args.accountSet(args.value(0, dir.path())));
    if (!db)
        return 1;
    std::printf("peak memory after opening: %ld MB\n", maxRssMb());

    const QDate end = firstDay.addDays(days - 1);
    const Period allYears{firstDay, end};
    const Period secondYear{QDate(2008, 1, 1), QDate(2008, 12, 31)};

    // The matrix first, so that the peak memory it reports is its own.
    Grid matrix;
    time("receivables, three years (target 1500)", 3,
         [&] { outstandingMatrix(*db, matrix, TradeSide::Sales, allYears); });
    std::printf("  %d x %d cells; peak memory %ld MB (target 500)\n", matrix.rows(), matrix.cols(),
                maxRssMb());

    GridView view(&matrix);
    view.resize(1400, 800);
    {
        QElapsedTimer t;
        const double c = cpuMs();
        t.start();
        view.show();
        QApplication::processEvents();
        view.grab();
        std::printf("%-40s %7.0f ms wall %7.0f ms cpu\n", "first paint of the matrix (target 100)",
                    t.nsecsElapsed() / 1e6, cpuMs() - c);
    }
    {
        QScrollBar* bar = view.bodyView()->verticalScrollBar();
        QScrollBar* across = view.bodyView()->horizontalScrollBar();
        constexpr int frames = 60;
        QElapsedTimer t;
        double worst = 0;
        const double c = cpuMs();
        t.start();
        for (int i = 1; i <= frames; ++i) {
            QElapsedTimer frame;
            frame.start();
            bar->setValue(bar->maximum() * i / frames);
            across->setValue(across->maximum() * i / frames);
            QApplication::processEvents();
            view.grab();
            worst = std::max(worst, frame.nsecsElapsed() / 1e6);
        }
        std::printf("%-40s %7.1f ms wall %7.1f ms cpu (average of %d; worst %.1f ms)\n",
                    "scrolling the matrix, one frame", t.nsecsElapsed() / 1e6 / frames,
                    (cpuMs() - c) / frames, frames, worst);
    }
    view.hide();

    Grid grid;
    time("stock report (target 2000)", 3, [&] { stockReport(*db, grid); });
    std::printf("  %d x %d cells\n", grid.rows(), grid.cols());
    time("stock change in values (target 2500)", 3,
         [&] { stockChangeReport(*db, grid, QDate(2008, 1, 1), end, StockMeasure::Values); });
    time("stock change in quantities", 3,
         [&] { stockChangeReport(*db, grid, QDate(2008, 1, 1), end, StockMeasure::Quantities); });
    time("sales totals, one year (target 500)", 5,
         [&] { tradeTotals(*db, grid, TradeSide::Sales, secondYear); });
    time("purchase totals, one year (target 500)", 5,
         [&] { tradeTotals(*db, grid, TradeSide::Purchases, secondYear); });
    time("payables, three years", 3,
         [&] { outstandingMatrix(*db, grid, TradeSide::Purchases, allYears); });
    std::printf("peak memory at the end: %ld MB\n", maxRssMb());
    return 0;
}
