// Times the stock ledger on an account set of realistic size: 1,000 products,
// 20 warehouses, 300,000 sales, 200,000 purchases and 50,000 transfers over
// three years. Usage: bench_stock [folder for the account set]
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
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

using namespace tl;

using namespace tl::bench;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path();
    auto db = openBenchAccountSet(folder + "/bench.lbk");
    if (!db)
        return 1;
    QElapsedTimer timer;

    const QDate middle = firstDay.addDays(days / 2);
    time("rebuildStock as of 2200-01-01", 5,
         [&] { StockLedger::rebuildStock(*db, StockLedger::allDates, "T_ST1"); });
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
    std::printf("stockQty: %.3f ms (average of 1000; checksum %d)\n",
                timer.nsecsElapsed() / 1e6 / 1000, sum);
    return 0;
}
