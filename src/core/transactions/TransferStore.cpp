#include "core/transactions/TransferStore.h"

#include "core/data/Database.h"
#include "core/transactions/RecordStore.h"
#include "core/transactions/StockLedger.h"
#include "core/values/Numbers.h"

#include <QSqlQuery>

namespace tl {

namespace {
const QString table = QStringLiteral("Adjust");
const QStringList columns{"IID", "OID", "PID", "Num", "Dat", "Memo"};

// Unlike sales and purchases, a transfer keeps the rounded quantity.
QVariantList values(const TransferInput& a) {
    return {a.iid, a.oid, a.pid, double(roundHalfEven(a.num)), RecordStore::dateValue(a.date),
            a.memo};
}

QString checkValues(const TransferInput& a) {
    const QString problem = RecordStore::checkQuantity(a.num);
    return problem.isEmpty() ? RecordStore::checkDate(a.date) : problem;
}

StockMoves moves(const TransferInput& a) {
    return StockMoves::transfer(a.iid, a.oid, a.pid, a.num);
}
} // namespace

QString TransferStore::check(const TransferInput& a) {
    if (a.oid == 0 || a.iid == 0 || a.pid == 0)
        return QStringLiteral("出入库仓库或产品未填写完整！");
    if (const QString problem = checkQuantity(a.num); !problem.isEmpty())
        return problem;
    if (a.iid == a.oid)
        return QStringLiteral("在同一个仓库内无需调货！");
    return RecordStore::checkDate(a.date);
}

QString TransferStore::checkQuantity(double num) {
    if (const QString problem = RecordStore::checkQuantity(num); !problem.isEmpty())
        return problem;
    // The transfer is stored and moved rounded, so 0.4 is a transfer of nothing too.
    if (roundHalfEven(num) == 0)
        return QStringLiteral("调库数量为零！");
    return {};
}

qint64 TransferStore::add(const Database& db, const TransferInput& a) {
    RecordStore::require(checkValues(a));
    return RecordStore::insert(db, table, columns, values(a), moves(a));
}

bool TransferStore::modify(const Database& db, qint64 id, const TransferInput& a,
                           QString* message) {
    RecordStore::require(checkValues(a));
    return RecordStore::replace(db, table, id, columns, values(a), moves(a), message);
}

std::optional<TransferInput> TransferStore::load(const Database& db, qint64 id) {
    QSqlQuery q =
        db.run(QStringLiteral("SELECT IID, OID, PID, Num, Dat, Memo FROM Adjust WHERE ID=?"), {id});
    if (!q.next())
        return std::nullopt;
    TransferInput a;
    a.iid = q.value(0).toInt();
    a.oid = q.value(1).toInt();
    a.pid = q.value(2).toInt();
    a.num = q.value(3).toDouble();
    a.date = RecordStore::dateFrom(q.value(4));
    a.memo = q.value(5).toString();
    return a;
}

std::optional<qint64> TransferStore::quantityLimit(const Database& db, int oid, int pid,
                                                   qint64 id) {
    if (oid == 0 || pid == 0)
        return std::nullopt;
    qint64 limit = StockLedger::stockQty(db, oid, pid);
    if (const std::optional<TransferInput> prior = id ? load(db, id) : std::nullopt;
        prior && prior->oid == oid && prior->pid == pid)
        limit += roundHalfEven(prior->num);
    return limit;
}

QString TransferStore::quantityHint(const Database& db, int oid, int pid, qint64 id) {
    const std::optional<qint64> limit = quantityLimit(db, oid, pid, id);
    return limit ? QStringLiteral("可调库存量为：") + QString::number(*limit) : QString();
}

} // namespace tl
