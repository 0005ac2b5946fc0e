#include "core/transactions/StockLedger.h"

#include "core/data/Database.h"
#include "core/transactions/FifoCosting.h"
#include "core/values/Numbers.h"
#include "core/values/Period.h"

#include <QHash>
#include <QSqlQuery>
#include <cmath>

namespace tl {

const QDate StockLedger::allDates(2200, 1, 1);

namespace {

// Which records count as of a date: every one for the sentinel, otherwise
// those dated up to and including that day.
Period recordsUpTo(const QDate& asOf) {
    if (!asOf.isValid())
        throw DbError::failed(QStringLiteral("无效的统计日期。"));
    return {QDate(), asOf == StockLedger::allDates ? QDate() : asOf};
}

QString whereOf(const Period& dates) {
    const QString condition = dates.condition();
    return condition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condition;
}

qint64 roundCents(double value) {
    return std::isfinite(value) ? qint64(std::nearbyint(value)) : 0;
}

QString checkedResultTable(const QString& name) {
    const QString quoted = Database::ident(name);
    if (!name.startsWith(QStringLiteral("T_")) || name == QLatin1String("T_Buy1") ||
        name == QLatin1String("T_TBuy") || name == QLatin1String("T_PID1"))
        throw DbError::failed(QStringLiteral("统计结果表名无效：%1").arg(name));
    return quoted;
}

// Work tables live in the connection's temporary space: each operator has
// his own, and they go when the account set closes.
void recreate(const Database& db, const QString& table, const QString& columns) {
    db.dropTable(table);
    db.exec(QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(Database::ident(table), columns));
}

const QString kBalanceColumns =
    QStringLiteral("PID INTEGER, SID INTEGER, Num REAL, UNIQUE (PID, SID)");

// Brings Stock in line with the balances of the result table, writing only
// what differs: a changed balance is updated, a missing one inserted, one the
// records no longer give deleted. Rows that stay keep their IDs.
void replaceStock(const Database& db, const QString& result) {
    const QString same = QStringLiteral("r.SID=Stock.SID AND r.PID=Stock.PID");
    db.exec(QStringLiteral("DELETE FROM Stock WHERE NOT EXISTS (SELECT 1 FROM %1 r WHERE %2)")
                .arg(result, same));
    db.exec(
        QStringLiteral("UPDATE Stock SET Num=(SELECT r.Num FROM %1 r WHERE %2) WHERE EXISTS "
                       "(SELECT 1 FROM %1 r WHERE %2 AND (Stock.Num IS NULL OR r.Num<>Stock.Num))")
            .arg(result, same));
    db.exec(QStringLiteral("INSERT INTO Stock (SID, PID, Num) SELECT SID, PID, Num FROM %1 r "
                           "WHERE NOT EXISTS (SELECT 1 FROM Stock s WHERE s.SID=r.SID AND "
                           "s.PID=r.PID) ORDER BY PID, SID")
                .arg(result));
}

} // namespace

int StockLedger::stockQty(const Database& db, int sid, int pid) {
    const QVariant num =
        db.value(QStringLiteral("SELECT Num FROM Stock WHERE SID=? AND PID=? ORDER BY ID LIMIT 1"),
                 {sid, pid});
    return roundHalfEven(num.toDouble());
}

void StockLedger::addStock(const Database& db, int sid, int pid, qint64 change) {
    // One statement: two operators moving a new pair at once still make one row.
    db.exec(QStringLiteral("INSERT INTO Stock (SID, PID, Num) VALUES (?, ?, ?) ON CONFLICT "
                           "(SID, PID) DO UPDATE SET Num=COALESCE(Stock.Num, 0)+excluded.Num"),
            {sid, pid, static_cast<double>(change)});
}

QString StockLedger::productField(const Database& db, int pid, const QString& field) {
    return db.nameById(QStringLiteral("Product"), pid, QStringLiteral("PID"), field);
}

int StockLedger::stockRows(const Database& db) {
    return db.value(QStringLiteral("SELECT COUNT(*) FROM Stock")).toInt();
}

void StockLedger::rebuildStock(const Database& db, const QDate& asOf, const QString& resultTable,
                               Progress& progress) {
    const QString result = checkedResultTable(resultTable);
    const Period dates = recordsUpTo(asOf);
    const QString where = whereOf(dates);
    const QVariantList binds = dates.binds();
    ProgressCloser closer{progress};
    const bool replacing = asOf == allDates;
    Transaction t(db, replacing ? Transaction::Isolation::SnapshotWrite
                                : Transaction::Isolation::Snapshot);
    // Stock locked before the first read: the snapshot then holds every
    // movement already on Stock, and no saver moves it until we are done.
    if (replacing)
        db.lockTableForRewriting(QStringLiteral("Stock"));
    // Signed movements per product and warehouse: purchases and transfers in,
    // sales and transfers out.
    const QString movements =
        QStringLiteral("INSERT INTO T_Buy1 SELECT PID, %1, %2COALESCE(SUM(Num), 0) "
                       "FROM %3%4 GROUP BY PID, %1");
    auto move = [&](const QString& warehouse, const QString& sign, const QString& table) {
        db.exec(movements.arg(warehouse, sign, table, where), binds);
    };

    progress.show(QStringLiteral("统计采购记录..."), 5);
    recreate(db, QStringLiteral("T_Buy1"), QStringLiteral("PID INTEGER, SID INTEGER, Num REAL"));
    move(QStringLiteral("SID"), QString(), QStringLiteral("Buy"));
    // Purchases up to the date: T_Buy1 holds just them so far. A purchase
    // made after the date must not count as bought, or the valuation would
    // take it as already consumed.
    recreate(db, QStringLiteral("T_TBuy"), QStringLiteral("PID INTEGER, Num REAL"));
    db.exec(QStringLiteral(
        "INSERT INTO T_TBuy SELECT PID, COALESCE(SUM(Num), 0) FROM T_Buy1 GROUP BY PID"));

    progress.show(QStringLiteral("统计调库（入库）记录..."), 5);
    progress.step(1);
    move(QStringLiteral("IID"), QString(), QStringLiteral("Adjust"));
    progress.show(QStringLiteral("统计销售记录..."), 5);
    progress.step(2);
    move(QStringLiteral("SID"), QStringLiteral("-"), QStringLiteral("Sale"));
    progress.show(QStringLiteral("统计调库（出库）记录..."), 5);
    progress.step(3);
    move(QStringLiteral("OID"), QStringLiteral("-"), QStringLiteral("Adjust"));

    progress.show(QStringLiteral("汇总出入库记录..."), 5);
    progress.step(4);
    recreate(db, resultTable, kBalanceColumns);
    db.exec(QStringLiteral("INSERT INTO %1 SELECT PID, SID, COALESCE(SUM(Num), 0) FROM T_Buy1 "
                           "GROUP BY PID, SID")
                .arg(result));
    if (replacing)
        replaceStock(db, result);
    progress.step(5);
    t.commit();
}

namespace {

// A product's balance in whole units and what it is worth, in cents.
struct Worth {
    qint64 units = 0;
    qint64 cents = 0;
};

// Per product of T_PID1: its balance, and the first-in-first-out value of
// what is left of its purchases once the units bought less the balance are
// taken away. A product never bought counts as bought 0 times.
QHash<int, Worth> productWorth(const Database& db, const Period& dates) {
    QHash<int, Worth> worth;
    QHash<int, qint64> consumed;
    {
        QSqlQuery q = db.run(QStringLiteral("SELECT p.PID, p.Num, COALESCE(b.Num, 0) FROM T_PID1 p "
                                            "LEFT JOIN T_TBuy b ON b.PID=p.PID"));
        while (q.next()) {
            const int pid = q.value(0).toInt();
            const int n = roundHalfEven(q.value(1).toDouble());
            worth.insert(pid, {n, 0});
            consumed.insert(pid, roundHalfEven(q.value(2).toDouble() - n));
        }
    }
    if (worth.isEmpty())
        return worth;
    // Every purchase is read once, each product's oldest first.
    const std::vector<CostRecord> lots = readCostRecords(db, QStringLiteral("Buy"), dates);
    for (auto lot = lots.cbegin(); lot != lots.cend();) {
        auto end = lot;
        while (end != lots.cend() && end->pid == lot->pid)
            ++end;
        const auto it = worth.find(lot->pid);
        if (it != worth.end()) {
            FifoLots fifo(&*lot, &*lot + (end - lot));
            // More bought than ever left the stock: every lot is still whole.
            fifo.consume(std::max<qint64>(0, consumed.value(lot->pid)));
            it->cents = roundCents(fifo.remainingValue() * 100);
        }
        lot = end;
    }
    return worth;
}

// Replaces each balance of the result table by its share of the product's
// value, by quantity, in cents; the rounding difference goes to the
// product's first row (lowest warehouse).
void spreadOverWarehouses(const Database& db, const QString& resultTable,
                          const QHash<int, Worth>& worth, Progress& progress) {
    const QString result = Database::ident(resultTable);
    struct Row {
        int pid;
        QVariant pidValue, sid;
        double num;
        qint64 share = 0;
    };
    QList<Row> rows;
    {
        QSqlQuery q =
            db.run(QStringLiteral("SELECT PID, SID, Num FROM %1 ORDER BY PID, SID").arg(result));
        while (q.next())
            rows.append({q.value(0).toInt(), q.value(0), q.value(1), q.value(2).toDouble()});
    }
    for (qsizetype first = 0; first < rows.size();) {
        const Worth w = worth.value(rows.at(first).pid);
        qsizetype end = first;
        qint64 sum = 0;
        for (; end < rows.size() && rows.at(end).pid == rows.at(first).pid; ++end) {
            Row& row = rows[end];
            row.share = (w.units == 0 || row.num == 0)
                            ? 0
                            : roundCents(double(w.cents) * row.num / double(w.units));
            sum += row.share;
        }
        rows[first].share += w.cents - sum;
        progress.advance(1);
        first = end;
    }
    db.exec(QStringLiteral("DELETE FROM %1").arg(result));
    QList<QVariantList> values;
    values.reserve(rows.size());
    for (const Row& row : rows)
        values.append({row.pidValue, row.sid, double(row.share) / 100});
    db.insertRows(resultTable,
                  {QStringLiteral("PID"), QStringLiteral("SID"), QStringLiteral("Num")}, values);
}

} // namespace

void StockLedger::valueStock(const Database& db, const QDate& asOf, const QString& resultTable,
                             Progress& progress) {
    const QString result = checkedResultTable(resultTable);
    const Period dates = recordsUpTo(asOf);
    const bool replacing = asOf == allDates;
    Transaction t(db, replacing ? Transaction::Isolation::SnapshotWrite
                                : Transaction::Isolation::Snapshot);
    if (replacing)
        db.lockTableForRewriting(QStringLiteral("Stock"));
    rebuildStock(db, asOf, resultTable, progress);
    recreate(db, QStringLiteral("T_PID1"), QStringLiteral("PID INTEGER, Num REAL"));
    db.exec(
        QStringLiteral("INSERT INTO T_PID1 SELECT PID, COALESCE(SUM(Num), 0) FROM %1 GROUP BY PID")
            .arg(result));
    const QHash<int, Worth> worth = productWorth(db, dates);
    if (!worth.isEmpty()) {
        ProgressCloser closer{progress};
        progress.show(QStringLiteral("正在统计库存价值……"), int(worth.size()));
        spreadOverWarehouses(db, resultTable, worth, progress);
    }
    t.commit();
}

} // namespace tl
