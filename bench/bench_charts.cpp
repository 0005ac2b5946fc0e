// Times the chart tables and the chart drawing on the benchmark account set:
// 1,000 products, 550,000 records over three years from 2007-01-01.
// Usage: bench_charts [folder for the account set] [--pg URL]
#include "core/charts/ChartPicture.h"
#include "core/charts/ChartQueries.h"
#include "core/charts/ChartRenderer.h"
#include "core/grid/Grid.h"
#include "gui/charts/ChartView.h"
#include "gui/widgets/AppStyle.h"
#include "support/BenchData.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>

using namespace tl;
using namespace tl::bench;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    applyAppStyle(app);
    const BenchArgs args(argc, argv);
    QTemporaryDir dir;
    auto db = openBenchAccountSet(args.accountSet(args.value(0, dir.path())));
    if (!db)
        return 1;
    const QDate last = firstDay.addDays(days - 1);

    Grid grid;
    TrendQuery trend;
    trend.from = firstDay;
    trend.to = last;
    time("trend table, quantities, 36 months", 5, [&] { trendTable(*db, trend, grid); });
    trend.amounts = true;
    time("trend table, amounts, 36 months", 5, [&] { trendTable(*db, trend, grid); });
    trend.warehouseId = 3;
    trend.productId = 17;
    time("trend table, one warehouse and product", 5, [&] { trendTable(*db, trend, grid); });
    std::printf("(target 300 ms)\n");

    ProfitQuery profit;
    profit.from = firstDay;
    profit.to = last;
    ChartResult result;
    time("gross profit, all products, 36 months", 3,
         [&] { result = profitTable(*db, profit, grid); });
    profit.from = QDate(2009, 1, 1);
    time("gross profit, all products, last year", 3, [&] { profitTable(*db, profit, grid); });
    profit.productId = 17;
    time("gross profit, one product, last year", 3, [&] { profitTable(*db, profit, grid); });
    std::printf("(target 1000 ms)\n");

    // Redrawing: the chart of 36 months at common window sizes, as the
    // window paints it on a resize.
    profit.from = firstDay;
    profit.productId = 0;
    profitTable(*db, profit, grid);
    for (QSize size : {QSize(880, 560), QSize(1600, 900)})
        for (qreal dpr : {1.0, 2.0}) {
            QImage image(size * dpr, QImage::Format_RGB32);
            image.setDevicePixelRatio(dpr);
            const QByteArray what = QStringLiteral("paint chart %1x%2 at %3x")
                                        .arg(size.width())
                                        .arg(size.height())
                                        .arg(dpr)
                                        .toUtf8();
            time(what.constData(), 20, [&] {
                QPainter p(&image);
                paintChartPicture(p, grid, result.title, QSizeF(size), 1);
            });
        }
    ChartView view;
    view.setChart(grid, result.title);
    view.resize(880, 560);
    view.show();
    int width = 880;
    time("chart view resize and repaint", 20, [&] {
        width = width == 880 ? 900 : 880;
        view.resize(width, 560);
        const QPixmap shown = view.grab();
    });
    std::printf("(target 30 ms)\n");
    time("save chart as JPEG 1180x720", 5, [&] {
        saveChartPicture(grid, result.title, dir.filePath("chart.jpg"), QSize(1180, 720));
    });
    time("save chart as PDF 1180x720", 5, [&] {
        saveChartPicture(grid, result.title, dir.filePath("chart.pdf"), QSize(1180, 720));
    });
    return 0;
}
