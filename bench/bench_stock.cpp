// Times the stock ledger on an account set of realistic size: 1,000 products,
// 20 warehouses, 300,000 sales, 200,000 purchases and 50,000 transfers over
// three years. Usage: bench_stock [folder for the account set] [--pg URL]
#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/transactions/SaleStore.h"
#include "core/transactions/StockLedger.h"
#include "support/BenchData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <sys/resource.h>
#include <thread>

using namespace tl;

using namespace tl::bench;

namespace {

// Runs work while a second connection to the set saves as a sale does: one
// change of a stock row every 5 ms, each its own transaction. Prints the
// longest such save: how long the rebuild keeps savers from Stock.
void timeStockHeld(const QString& path, const std::function<void()>& work) {
    std::atomic<bool> done{false};
    std::atomic<bool> started{false};
    double worst = 0;
    int saves = 0;
    std::thread saver([&] {
        auto other = Database::open(path);
        QRandomGenerator random(3);
        while (!done) {
            QElapsedTimer t;
            t.start();
            try {
                Transaction tx(*other);
                StockLedger::addStock(*other, int(random.bounded(warehouses)) + 1,
                                      int(random.bounded(products)) + 1, 0);
                tx.commit();
            } catch (const DbError& e) {
                std::printf("  a save failed: %s\n", qPrintable(e.userText()));
            }
            worst = std::max(worst, t.nsecsElapsed() / 1e6);
            ++saves;
            started = true;
            QThread::msleep(5);
        }
    });
    while (!started)
        QThread::msleep(1);
    work();
    done = true;
    saver.join();
    std::printf("%-40s %7.0f ms (longest of %d saves; target 1000)\n",
                "a save waiting for rebuilds of Stock", worst, saves);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const BenchArgs args(argc, argv);
    QTemporaryDir dir;
    auto db = openBenchAccountSet(args.accountSet(args.value(0, dir.path())));
    if (!db)
        return 1;
    QElapsedTimer timer;

    const QDate middle = firstDay.addDays(days / 2);
    time("rebuildStock as of 2200-01-01", 5,
         [&] { StockLedger::rebuildStock(*db, StockLedger::allDates, "T_ST1"); });
    // Apart, as operators start them: savers get their turn in between.
    timeStockHeld(db->path(), [&] {
        for (int i = 0; i < 5; ++i) {
            StockLedger::rebuildStock(*db, StockLedger::allDates, "T_ST1");
            QThread::msleep(100);
        }
    });
    time("rebuildStock as of 2008-07-01", 5,
         [&] { StockLedger::rebuildStock(*db, middle, "T_ST2"); });
    time("valueStock as of 2200-01-01", 5,
         [&] { StockLedger::valueStock(*db, StockLedger::allDates, "T_ST1"); });
    time("valueStock as of 2008-07-01", 5, [&] { StockLedger::valueStock(*db, middle, "T_ST2"); });

    QRandomGenerator random(7);
    constexpr int saves = 200;
    auto average = [&](const char* what, auto&& f) {
        QElapsedTimer timer;
        const double c = cpuMs();
        timer.start();
        for (int i = 0; i < saves; ++i)
            f();
        std::printf("%-40s %7.2f ms wall %7.2f ms cpu (average of %d)\n", what,
                    timer.nsecsElapsed() / 1e6 / saves, (cpuMs() - c) / saves, saves);
    };
    average("saving one sale, committed", [&] {
        SaleInput s;
        s.pid = int(random.bounded(products)) + 1;
        s.cid = s.aid = s.uid = 1;
        s.sid = int(random.bounded(warehouses)) + 1;
        s.price = 9.9;
        s.num = 3;
        s.date = QDate(2010, 1, 2);
        SaleStore::add(*db, s);
    });
    // What a commit alone costs on this disk: one row written, as above.
    average("committing one region row (baseline)", [&] {
        Transaction t(*db);
        db->exec("INSERT INTO Region (Region) VALUES ('x')");
        t.commit();
    });
    timer.restart();
    int sum = 0;
    for (int i = 0; i < 1000; ++i)
        sum += StockLedger::stockQty(*db, int(random.bounded(warehouses)) + 1,
                                     int(random.bounded(products)) + 1);
    std::printf("stockQty, one warehouse and product: %.3f ms (average of 1000; target 0.3; "
                "checksum %d)\n",
                timer.nsecsElapsed() / 1e6 / 1000, sum);
    return 0;
}
