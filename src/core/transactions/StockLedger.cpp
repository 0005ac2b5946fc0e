#include "core/transactions/StockLedger.h"

#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/values/Numbers.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <cmath>

namespace tl {

const QDate StockLedger::allDates(2200, 1, 1);

namespace {

// Which records count as of a date: every one for the sentinel, otherwise
// those dated up to and including that day. Dat is ISO text that may carry a
// time, so "before the next day" is the test.
struct DateFilter {
    QString sql; // empty, or a condition with one placeholder
    QVariantList binds;

    explicit DateFilter(const QDate& asOf) {
        if (!asOf.isValid())
            throw DbError(QStringLiteral("无效的统计日期。"));
        const QString nextDay = asOf.addDays(1).toString(Qt::ISODate);
        if (asOf == StockLedger::allDates || nextDay.isEmpty()) // no text beyond year 9999
            return;
        sql = QStringLiteral("Dat<?");
        binds << nextDay;
    }
    QString where() const { return sql.isEmpty() ? QString() : QStringLiteral(" WHERE ") + sql; }
};

// Walks one product's purchases oldest first: the consumed units are taken
// from the oldest, what remains is valued at the prices it was bought at.
class FifoWalk {
public:
    explicit FifoWalk(qint64 consumed = 0) : m_consumed(consumed) {}
    void add(double num, double price) {
        if (m_count < m_consumed) {
            m_count += roundHalfEven(num);
            if (m_count > m_consumed)
                m_value += double(m_count - m_consumed) * price;
        } else {
            m_value += price * num;
        }
    }
    double value() const { return m_value; }

private:
    qint64 m_consumed;
    qint64 m_count = 0;
    double m_value = 0;
};

qint64 roundCents(double value) {
    return std::isfinite(value) ? qint64(std::nearbyint(value)) : 0;
}

QString checkedResultTable(const QString& name) {
    const QString quoted = Database::ident(name);
    if (!name.startsWith(QStringLiteral("T_")) || name == QLatin1String("T_Buy1") ||
        name == QLatin1String("T_TBuy") || name == QLatin1String("T_PID1"))
        throw DbError(QStringLiteral("统计结果表名无效：%1").arg(name));
    return quoted;
}

void recreate(const Database& db, const QString& table, const QString& columns) {
    db.dropTable(table);
    db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(Database::ident(table), columns));
}

struct ProgressCloser {
    Progress& progress;
    ~ProgressCloser() { progress.close(); }
};

QSqlQuery prepared(const Database& db, const QString& sql) {
    QSqlQuery q(db.connection());
    if (!q.prepare(sql))
        throw DbError::fromSql(q.lastError());
    return q;
}

void execPrepared(QSqlQuery& q, const QVariantList& binds) {
    for (int i = 0; i < binds.size(); ++i)
        q.bindValue(i, binds.at(i));
    if (!q.exec())
        throw DbError::fromSql(q.lastError());
}

void replaceStock(const Database& db, const QString& result) {
    db.dropTable(QStringLiteral("Stock"));
    db.exec(Schema::createSql(*Schema::accountSetTable(QStringLiteral("Stock"))));
    for (const QString& sql : Schema::indexSql(QStringLiteral("Stock")))
        db.exec(sql);
    db.exec(QStringLiteral("INSERT INTO Stock (SID, PID, Num) SELECT SID, PID, Num FROM %1 "
                           "ORDER BY PID, SID")
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
    const double amount = static_cast<double>(change);
    const int changed = db.exec(
        QStringLiteral("UPDATE Stock SET Num=coalesce(Num,0)+? WHERE ID=(SELECT ID FROM Stock "
                       "WHERE SID=? AND PID=? ORDER BY ID LIMIT 1)"),
        {amount, sid, pid});
    if (changed == 0)
        db.exec(QStringLiteral("INSERT INTO Stock (SID, PID, Num) VALUES (?, ?, ?)"),
                {sid, pid, amount});
}

QString StockLedger::productField(const Database& db, int pid, const QString& field) {
    return db.nameById(QStringLiteral("Product"), pid, QStringLiteral("PID"), field);
}

double StockLedger::fifoStockValue(const Database& db, int pid, const QDate& asOf, int consumed) {
    const DateFilter dates(asOf);
    QString sql = QStringLiteral("SELECT Num, Price FROM Buy WHERE PID=?");
    if (!dates.sql.isEmpty())
        sql += QStringLiteral(" AND ") + dates.sql;
    QSqlQuery q =
        db.run(sql + QStringLiteral(" ORDER BY Dat, ID"), QVariantList{pid} + dates.binds);
    FifoWalk walk(consumed);
    while (q.next())
        walk.add(q.value(0).toDouble(), q.value(1).toDouble());
    return walk.value();
}

int StockLedger::stockRows(const Database& db) {
    return db.value(QStringLiteral("SELECT COUNT(*) FROM Stock")).toInt();
}

void StockLedger::rebuildStock(const Database& db, const QDate& asOf, const QString& resultTable,
                               Progress& progress) {
    const QString result = checkedResultTable(resultTable);
    const DateFilter dates(asOf);
    const QString where = dates.where();
    ProgressCloser closer{progress};
    Transaction t(db);

    progress.show(QStringLiteral("统计采购记录..."), 5);
    recreate(db, QStringLiteral("T_Buy1"), QStringLiteral("PID INTEGER, SID INTEGER, Num REAL"));
    db.exec(QStringLiteral("INSERT INTO T_Buy1 SELECT PID, SID, total(Num) FROM Buy%1 "
                           "GROUP BY PID, SID")
                .arg(where),
            dates.binds);
    // Purchases up to the date: T_Buy1 holds just them so far. A purchase
    // made after the date must not count as bought, or the valuation would
    // take it as already consumed.
    recreate(db, QStringLiteral("T_TBuy"), QStringLiteral("PID INTEGER, Num REAL"));
    db.exec(QStringLiteral("INSERT INTO T_TBuy SELECT PID, total(Num) FROM T_Buy1 GROUP BY PID"));

    progress.show(QStringLiteral("统计调库（入库）记录..."), 5);
    progress.step(1);
    db.exec(QStringLiteral("INSERT INTO T_Buy1 SELECT PID, IID, total(Num) FROM Adjust%1 "
                           "GROUP BY PID, IID")
                .arg(where),
            dates.binds);

    progress.show(QStringLiteral("统计销售记录..."), 5);
    progress.step(2);
    db.exec(QStringLiteral("INSERT INTO T_Buy1 SELECT PID, SID, -total(Num) FROM Sale%1 "
                           "GROUP BY PID, SID")
                .arg(where),
            dates.binds);

    progress.show(QStringLiteral("统计调库（出库）记录..."), 5);
    progress.step(3);
    db.exec(QStringLiteral("INSERT INTO T_Buy1 SELECT PID, OID, -total(Num) FROM Adjust%1 "
                           "GROUP BY PID, OID")
                .arg(where),
            dates.binds);

    progress.show(QStringLiteral("汇总出入库记录..."), 5);
    progress.step(4);
    recreate(db, resultTable, QStringLiteral("PID INTEGER, SID INTEGER, Num REAL"));
    db.exec(QStringLiteral("INSERT INTO %1 SELECT PID, SID, total(Num) FROM T_Buy1 "
                           "GROUP BY PID, SID")
                .arg(result));
    if (asOf == allDates)
        replaceStock(db, result);
    progress.step(5);
    t.commit();
}

void StockLedger::valueStock(const Database& db, const QDate& asOf, const QString& resultTable,
                             Progress& progress) {
    const QString result = checkedResultTable(resultTable);
    const DateFilter dates(asOf);
    Transaction t(db);
    rebuildStock(db, asOf, resultTable, progress);
    recreate(db, QStringLiteral("T_PID1"), QStringLiteral("PID INTEGER, Num REAL"));
    db.exec(QStringLiteral("INSERT INTO T_PID1 SELECT PID, total(Num) FROM %1 GROUP BY PID")
                .arg(result));

    // Per product: its balance and how many of its purchased units are gone.
    // A product never bought counts as bought 0 times.
    QHash<int, qint64> balance;
    QHash<int, FifoWalk> walks;
    {
        QSqlQuery q = db.run(QStringLiteral("SELECT p.PID, p.Num, coalesce(b.Num, 0) FROM T_PID1 p "
                                            "LEFT JOIN T_TBuy b ON b.PID=p.PID"));
        while (q.next()) {
            const int pid = q.value(0).toInt();
            const int n = roundHalfEven(q.value(1).toDouble());
            balance.insert(pid, n);
            walks.insert(pid, FifoWalk(roundHalfEven(q.value(2).toDouble() - n)));
        }
    }
    if (balance.isEmpty()) {
        t.commit();
        return;
    }
    ProgressCloser closer{progress};
    progress.show(QStringLiteral("正在统计库存价值……"), int(balance.size()));

    // Every purchase is read once, each product's oldest first.
    {
        QSqlQuery q =
            db.run(QStringLiteral("SELECT PID, Num, Price FROM Buy%1 ORDER BY PID, Dat, ID")
                       .arg(dates.where()),
                   dates.binds);
        while (q.next()) {
            auto it = walks.find(q.value(0).toInt());
            if (it != walks.end())
                it->add(q.value(1).toDouble(), q.value(2).toDouble());
        }
    }

    struct Row {
        qint64 rowid;
        int pid;
        double num;
    };
    QList<Row> rows;
    {
        QSqlQuery q = db.run(
            QStringLiteral("SELECT rowid, PID, Num FROM %1 ORDER BY PID, rowid").arg(result));
        while (q.next())
            rows.append({q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toDouble()});
    }
    QSqlQuery update =
        prepared(db, QStringLiteral("UPDATE %1 SET Num=? WHERE rowid=?").arg(result));
    for (qsizetype first = 0; first < rows.size();) {
        const int pid = rows.at(first).pid;
        const qint64 n = balance.value(pid);
        const qint64 worth = roundCents(walks.value(pid).value() * 100);
        qsizetype end = first;
        qint64 sum = 0;
        QList<qint64> shares;
        for (; end < rows.size() && rows.at(end).pid == pid; ++end) {
            const double num = rows.at(end).num;
            const qint64 share =
                (n == 0 || num == 0) ? 0 : roundCents(double(worth) * num / double(n));
            shares.append(share);
            sum += share;
        }
        shares[0] += worth - sum; // the rounding difference goes to the first row
        for (qsizetype i = first; i < end; ++i)
            execPrepared(update, {double(shares.at(i - first)) / 100, rows.at(i).rowid});
        progress.advance(1);
        first = end;
    }
    t.commit();
}

} // namespace tl
