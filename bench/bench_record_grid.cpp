// Loads, shows and sorts the sales list of a large account set and prints the
// times: 100,000 sales over 1,000 products and 1,000 customers; then loads the
// 300,000 sales of the benchmark account set.
#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/grid/Grid.h"
#include "core/grid/GridHeader.h"
#include "core/lists/RecordGrid.h"
#include "gui/widgets/AppStyle.h"
#include "gui/widgets/GridView.h"
#include "support/BenchData.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace tl;
using bench::insertRows;

namespace {

long maxRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Wall and processor time since the last call.
struct Stopwatch {
    QElapsedTimer wall;
    double cpu = 0;
    void start() {
        wall.start();
        cpu = bench::cpuMs();
    }
    QString lap() {
        const QString s =
            QString("%1 ms (cpu %2 ms)").arg(wall.elapsed()).arg(bench::cpuMs() - cpu, 0, 'f', 0);
        start();
        return s;
    }
};

void fill(const Database& db, int sales) {
    Transaction t(db);
    insertRows(db, QStringLiteral("Product"),
               {"CID", "SName", "Name", "Code", "Price", "Unit", "Memo"}, 1000, [](int i) {
                   ++i;
                   return QVariantList{1,
                                       QString("P%1").arg(i),
                                       QString("产品 %1 号").arg(i),
                                       QString("C%1").arg(i),
                                       10.0 + i % 97,
                                       i % 2 ? "个" : "箱",
                                       QString()};
               });
    insertRows(db, QStringLiteral("Customer"), {"RID", "Name", "Address"}, 1000, [](int i) {
        ++i;
        return QVariantList{1, QString("客户公司 %1").arg(i), QString("某市某路 %1 号").arg(i)};
    });
    insertRows(db, QStringLiteral("Storage"), {"Name"}, 8,
               [](int i) { return QVariantList{QString("仓库 %1").arg(i + 1)}; });
    insertRows(db, QStringLiteral("Account"), {"Name", "Account"}, 8, [](int i) {
        return QVariantList{QString("账户 %1").arg(i + 1), QString("6222%1").arg(i + 1)};
    });
    insertRows(db, QStringLiteral("Staff"), {"Name", "PSD"}, 8, [](int i) {
        return QVariantList{QString("员工 %1").arg(i + 1), QString()};
    });
    insertRows(db, QStringLiteral("Sale"),
               {"PID", "CID", "SID", "AID", "UID", "Price", "Num", "Pay", "Dat", "Memo"}, sales,
               [](int i) {
                   return QVariantList{1 + (i * 7) % 1000,
                                       1 + (i * 13) % 1000,
                                       1 + i % 8,
                                       1 + i % 8,
                                       1 + i % 8,
                                       12.5 + i % 300,
                                       double(1 + i % 50),
                                       double(i % 1000) * 3.25,
                                       QDate(2008, 1, 1).addDays(i % 700).toString(Qt::ISODate),
                                       i % 5 ? QString() : QString("备注 %1").arg(i)};
               });
    t.commit();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    applyAppStyle(app);
    // Usage: bench_record_grid [sales] [account set file to write or reuse] [--pg URL]
    // With --pg the set is the server's schema grid_<sales>.
    const bench::BenchArgs args(argc, argv);
    const int sales = args.value(0, "100000").toInt();
    QTemporaryDir dir;
    const QString path = args.onServer() ? args.accountSet({}, {}, QString("grid_%1").arg(sales))
                                         : args.value(1, dir.path() + "/bench.lbk");
    auto db = bench::openOrBuild(
        path,
        [&](const Database& db) { return db.value("SELECT COUNT(*) FROM Sale").toInt() == sales; },
        [&](const Database& db) { fill(db, sales); });
    if (!db)
        return 1;
    Stopwatch t;

    Grid grid;
    grid.setWidthTwips(1200 * 15);
    t.start();
    loadSaleGrid(grid, *db);
    const QString load = t.lap();
    std::printf("loadRecordGrid (sales layout): %s for %d rows, max RSS %ld MB "
                "(targets 1000 ms, 300 MB)\n",
                qPrintable(load), grid.rows() - 2, maxRssMb());

    GridView view(&grid);
    view.resize(1200, 700);
    t.start();
    view.show();
    QPixmap first = view.grab();
    std::printf("GridView first paint: %s (target 100 ms)\n", qPrintable(t.lap()));

    for (int col : {3, 6, 11}) {
        t.start();
        sortByColumn(grid, col);
        const QString sort = t.lap();
        QPixmap again = view.grab();
        std::printf("sortByColumn(%s): %s, repaint %s (target 500 ms)\n",
                    qPrintable(grid.text(1, col)), qPrintable(sort), qPrintable(t.lap()));
    }
    // The main window reloads its list with the view on screen.
    t.start();
    loadSaleGrid(grid, *db);
    const QString reload = t.lap();
    QPixmap shown = view.grab();
    std::printf("reload with the view on screen: %s, repaint %s\n", qPrintable(reload),
                qPrintable(t.lap()));
    std::printf("max RSS at the end: %ld MB\n", maxRssMb());

    // The sales list of the benchmark account set: 300,000 rows, the longest
    // list an operator loads there.
    view.hide();
    db.reset();
    db = bench::openBenchAccountSet(args.accountSet(QFileInfo(path).absolutePath()));
    if (!db)
        return 1;
    Grid sales300k;
    sales300k.setWidthTwips(1200 * 15);
    bench::time("sales list of the benchmark set", 3, [&] { loadSaleGrid(sales300k, *db); });
    std::printf("  %d rows, max RSS %ld MB\n", sales300k.rows() - 2, maxRssMb());
    return 0;
}
