// Loads, shows and sorts the sales list of a large account set and prints the
// times: 100,000 sales over 1,000 products and 1,000 customers.
#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/grid/Grid.h"
#include "core/grid/GridHeader.h"
#include "core/lists/RecordGrid.h"
#include "gui/widgets/AppStyle.h"
#include "gui/widgets/GridView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace tl;

namespace {

long maxRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Processor time of this process in ms: on a machine busy with other work
// the wall-clock figures overstate what the operator would wait.
double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// Wall and processor time since the last call.
struct Stopwatch {
    QElapsedTimer wall;
    double cpu = 0;
    void start() {
        wall.start();
        cpu = cpuMs();
    }
    QString lap() {
        const QString s =
            QString("%1 ms (cpu %2 ms)").arg(wall.elapsed()).arg(cpuMs() - cpu, 0, 'f', 0);
        start();
        return s;
    }
};

void fill(const Database& db, int sales) {
    Transaction t(db);
    for (int i = 1; i <= 1000; ++i) {
        db.exec("INSERT INTO Product (CID, SName, Name, Code, Price, Unit, Memo) VALUES "
                "(1, ?, ?, ?, ?, ?, '')",
                {QString("P%1").arg(i), QString("产品 %1 号").arg(i), QString("C%1").arg(i),
                 10.0 + i % 97, i % 2 ? "个" : "箱"});
        db.exec("INSERT INTO Customer (RID, Name, Address) VALUES (1, ?, ?)",
                {QString("客户公司 %1").arg(i), QString("某市某路 %1 号").arg(i)});
    }
    for (int i = 1; i <= 8; ++i) {
        db.exec("INSERT INTO Storage (Name) VALUES (?)", {QString("仓库 %1").arg(i)});
        db.exec("INSERT INTO Account (Name, Account) VALUES (?, ?)",
                {QString("账户 %1").arg(i), QString("6222%1").arg(i)});
        db.exec("INSERT INTO Staff (Name, PSD) VALUES (?, '')", {QString("员工 %1").arg(i)});
    }
    for (int i = 0; i < sales; ++i) {
        db.exec("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat, Memo) VALUES "
                "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {1 + (i * 7) % 1000, 1 + (i * 13) % 1000, 1 + i % 8, 1 + i % 8, 1 + i % 8,
                 12.5 + i % 300, double(1 + i % 50), double(i % 1000) * 3.25,
                 QDate(2008, 1, 1).addDays(i % 700).toString(Qt::ISODate),
                 i % 5 ? QString() : QString("备注 %1").arg(i)});
    }
    t.commit();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    applyAppStyle(app);
    // Usage: bench_record_grid [sales] [account set file to write or reuse]
    const int sales = argc > 1 ? QString(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QString path = argc > 2 ? QString(argv[2]) : dir.path() + "/bench.lbk";
    const bool reuse = QFileInfo::exists(path);
    auto db = Database::open(path, Database::OpenMode::CreateIfMissing);
    Stopwatch t;
    t.start();
    if (!reuse) {
        Schema::createAccountSet(*db);
        fill(*db, sales);
        std::printf("account set with %d sales written in %s\n", sales, qPrintable(t.lap()));
    }

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
    return 0;
}
