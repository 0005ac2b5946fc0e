// Times the stock ledger on an account set of realistic size: 1,000 products,
// 20 warehouses, 300,000 sales, 200,000 purchases and 50,000 transfers over
// three years. Usage: bench_stock [folder for the account set]
#include "data/Database.h"
#include "data/Schema.h"
#include "transactions/SaleStore.h"
#include "transactions/StockLedger.h"

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

namespace {

constexpr int products = 1000;
constexpr int warehouses = 20;
constexpr int days = 3 * 365;
const QDate firstDay(2007, 1, 1);

void fill(const Database& db, const QString& sql, int rows,
          const std::function<QVariantList(int)>& values) {
    QSqlQuery q(db.connection());
    if (!q.prepare(sql))
        qFatal("%s", qPrintable(q.lastError().text()));
    for (int i = 0; i < rows; ++i) {
        const QVariantList v = values(i);
        for (int c = 0; c < v.size(); ++c)
            q.bindValue(c, v.at(c));
        if (!q.exec())
            qFatal("%s", qPrintable(q.lastError().text()));
    }
}

// Records come roughly in date order, as they are entered.
QString dateOf(int i, int rows, QRandomGenerator& random) {
    const int day = std::clamp(int(qint64(i) * days / rows) + int(random.bounded(5)) - 2, 0, days);
    return firstDay.addDays(day).toString(Qt::ISODate);
}

void build(const Database& db) {
    QRandomGenerator random(42);
    auto r = [&](int n) { return int(random.bounded(n)) + 1; };
    Transaction t(db);
    fill(db, "INSERT INTO Class (Class) VALUES (?)", 20,
         [](int i) { return QVariantList{QStringLiteral("类别%1").arg(i)}; });
    fill(db, "INSERT INTO Product (CID, Name, Price, Unit) VALUES (?,?,?,?)", products, [&](int i) {
        return QVariantList{r(20), QStringLiteral("产品%1").arg(i), r(500), QStringLiteral("件")};
    });
    fill(db, "INSERT INTO Storage (Name) VALUES (?)", warehouses,
         [](int i) { return QVariantList{QStringLiteral("仓库%1").arg(i)}; });
    fill(db, "INSERT INTO Customer (Name) VALUES (?)", 500,
         [](int i) { return QVariantList{QStringLiteral("客户%1").arg(i)}; });
    fill(db, "INSERT INTO Vender (Name) VALUES (?)", 100,
         [](int i) { return QVariantList{QStringLiteral("供应商%1").arg(i)}; });
    fill(db, "INSERT INTO Account (Name) VALUES (?)", 5,
         [](int i) { return QVariantList{QStringLiteral("账户%1").arg(i)}; });
    fill(db,
         "INSERT INTO Buy (PID, VID, AID, SID, Price, Num, Pay, Dat, Memo) "
         "VALUES (?,?,?,?,?,?,?,?,?)",
         200000, [&](int i) {
             const double price = r(5000) / 10.0;
             const int num = r(60);
             return QVariantList{r(products), r(100), r(5),        r(warehouses),
                                 price,       num,    price * num, dateOf(i, 200000, random),
                                 QString()};
         });
    fill(db,
         "INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat, Memo) "
         "VALUES (?,?,?,?,?,?,?,?,?,?)",
         300000, [&](int i) {
             const double price = r(6000) / 10.0;
             const int num = r(30);
             return QVariantList{r(products), r(500), r(warehouses),
                                 r(5),        1,      price,
                                 num,         0.0,    dateOf(i, 300000, random),
                                 QString()};
         });
    fill(db, "INSERT INTO Adjust (IID, OID, PID, Num, Dat, Memo) VALUES (?,?,?,?,?,?)", 50000,
         [&](int i) {
             const int out = r(warehouses);
             return QVariantList{out % warehouses + 1,     out,      r(products), r(20),
                                 dateOf(i, 50000, random), QString()};
         });
    t.commit();
}

double cpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// The best of some runs, wall clock and processor time: on a busy machine the
// wall clock also counts the time others had the processor.
template <typename F> void time(const char* what, int runs, F&& f) {
    double wall = 1e9, cpu = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double c = cpuMs();
        timer.start();
        f();
        wall = std::min(wall, timer.nsecsElapsed() / 1e6);
        cpu = std::min(cpu, cpuMs() - c);
    }
    std::printf("%-40s %7.0f ms wall %7.0f ms cpu (best of %d)\n", what, wall, cpu, runs);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path();
    auto db = Database::open(folder + "/bench.lbk", Database::OpenMode::CreateIfMissing,
                             Database::Report::Quiet);
    if (!db)
        return 1;
    QElapsedTimer timer;
    timer.start();
    Schema::createAccountSet(*db);
    build(*db);
    std::printf("building 550,000 records: %.0f ms\n", timer.nsecsElapsed() / 1e6);

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
