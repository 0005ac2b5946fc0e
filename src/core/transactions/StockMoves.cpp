#include "core/transactions/StockMoves.h"

#include "core/data/Database.h"
#include "core/transactions/StockLedger.h"
#include "core/values/Numbers.h"

#include <QSqlQuery>
#include <algorithm>

namespace tl {

StockMoves StockMoves::sale(int sid, int pid, double num) {
    StockMoves m;
    m.add(sid, pid, -qint64(roundHalfEven(num)));
    return m;
}

StockMoves StockMoves::purchase(int sid, int pid, double num) {
    StockMoves m;
    m.add(sid, pid, roundHalfEven(num));
    return m;
}

StockMoves StockMoves::transfer(int iid, int oid, int pid, double num) {
    const qint64 q = roundHalfEven(num);
    StockMoves m;
    m.add(iid, pid, q);
    m.add(oid, pid, -q);
    return m;
}

QString StockMoves::movedColumns(const QString& table) {
    if (table == QLatin1String("Adjust"))
        return QStringLiteral("IID, OID, PID, Num");
    if (table != QLatin1String("Sale") && table != QLatin1String("Buy"))
        throw DbError::failed(QStringLiteral("没有库存变动的表：%1").arg(table));
    return QStringLiteral("SID, PID, Num");
}

StockMoves StockMoves::ofRow(const QString& table, const QSqlQuery& q) {
    if (table == QLatin1String("Adjust"))
        return transfer(q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(),
                        q.value(3).toDouble());
    const int sid = q.value(0).toInt();
    const int pid = q.value(1).toInt();
    const double num = q.value(2).toDouble();
    return table == QLatin1String("Sale") ? sale(sid, pid, num) : purchase(sid, pid, num);
}

std::optional<StockMoves> StockMoves::ofRecord(const Database& db, const QString& table,
                                               qint64 id) {
    QSqlQuery q = db.run(QStringLiteral("SELECT %1 FROM %2 WHERE ID=?")
                             .arg(movedColumns(table), Database::ident(table)),
                         {id});
    if (!q.next())
        return std::nullopt;
    return ofRow(table, q);
}

void StockMoves::add(int sid, int pid, qint64 change) {
    const quint64 key = (quint64(quint32(sid)) << 32) | quint32(pid);
    const auto it = m_index.constFind(key);
    if (it != m_index.cend()) {
        m_moves[*it].change += change;
        return;
    }
    m_index.insert(key, m_moves.size());
    m_moves.append({sid, pid, change});
}

StockMoves& StockMoves::operator+=(const StockMoves& other) {
    for (const Move& m : other.m_moves)
        add(m.sid, m.pid, m.change);
    return *this;
}

StockMoves StockMoves::reversed() const {
    StockMoves r;
    for (const Move& m : m_moves)
        r.add(m.sid, m.pid, -m.change);
    return r;
}

void StockMoves::apply(const Database& db) const {
    // In key order: two savers moving the same pairs take them in one order.
    QList<Move> ordered = m_moves;
    std::sort(ordered.begin(), ordered.end(), [](const Move& a, const Move& b) {
        return std::pair(a.sid, a.pid) < std::pair(b.sid, b.pid);
    });
    for (const Move& m : ordered) {
        if (m.change != 0)
            StockLedger::addStock(db, m.sid, m.pid, m.change);
    }
}

} // namespace tl
