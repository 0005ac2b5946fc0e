#include "support/BenchData.h"

#include "core/data/Schema.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <functional>

namespace tl::bench {

namespace {

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

} // namespace

void buildAccountSet(const Database& db) {
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
    fill(db, "INSERT INTO Customer (Name) VALUES (?)", customers,
         [](int i) { return QVariantList{QStringLiteral("客户%1").arg(i)}; });
    fill(db, "INSERT INTO Vender (Name) VALUES (?)", suppliers,
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

std::unique_ptr<Database> openBenchAccountSet(const QString& path) {
    const bool built = QFileInfo::exists(path);
    auto db = Database::open(path, Database::OpenMode::CreateIfMissing);
    if (!db)
        return db;
    if (built) { // made by an older build, perhaps: brought up to date as a login would
        Schema::upgrade(*db);
        return db;
    }
    QElapsedTimer timer;
    timer.start();
    Schema::createAccountSet(*db);
    buildAccountSet(*db);
    std::printf("building 550,000 records: %.0f ms\n", timer.nsecsElapsed() / 1e6);
    return db;
}

} // namespace tl::bench
