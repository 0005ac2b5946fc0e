#include "core/transactions/SaleStore.h"

#include "core/data/Database.h"
#include "core/transactions/RecordStore.h"
#include "core/transactions/StockLedger.h"
#include "core/values/Numbers.h"

#include <QSqlQuery>

namespace tl {

namespace {
const QString table = QStringLiteral("Sale");
const QStringList columns{"PID", "CID", "SID", "AID", "UID", "Price", "Num", "Pay", "Dat", "Memo"};

QString checkValues(const SaleInput& s) {
    QString problem = RecordStore::checkQuantity(s.num);
    if (problem.isEmpty())
        problem = RecordStore::checkMoney(s.price, s.num, s.pay);
    if (problem.isEmpty())
        problem = RecordStore::checkDate(s.date);
    return problem;
}

QVariantList values(const SaleInput& s) {
    return {
        s.pid, s.cid, s.sid, s.aid, s.uid, s.price, s.num, s.pay, RecordStore::dateValue(s.date),
        s.memo};
}
} // namespace

QString SaleStore::check(const SaleInput& s) {
    if (s.pid == 0)
        return QStringLiteral("没有产品名称，请取填写产品名称。");
    if (s.cid == 0)
        return QStringLiteral("没有用户名称，请选择用户名称。");
    if (s.aid == 0)
        return QStringLiteral("未填收款账号，请选择收款账号。");
    if (s.sid == 0)
        return QStringLiteral("未填出货仓库，请选择出货仓库。");
    if (s.uid == 0)
        return QStringLiteral("未填销售人员，请选择销售人员。");
    return checkValues(s);
}

qint64 SaleStore::add(const Database& db, const SaleInput& s) {
    RecordStore::require(checkValues(s));
    return RecordStore::insert(db, table, columns, values(s),
                               StockMoves::sale(s.sid, s.pid, s.num));
}

bool SaleStore::modify(const Database& db, qint64 id, const SaleInput& s, QString* message) {
    RecordStore::require(checkValues(s));
    return RecordStore::replace(db, table, id, columns, values(s),
                                StockMoves::sale(s.sid, s.pid, s.num), message);
}

std::optional<SaleInput> SaleStore::load(const Database& db, qint64 id) {
    QSqlQuery q = db.run(QStringLiteral("SELECT PID, CID, SID, AID, UID, Price, Num, Pay, Dat, "
                                        "Memo FROM Sale WHERE ID=?"),
                         {id});
    if (!q.next())
        return std::nullopt;
    SaleInput s;
    s.pid = q.value(0).toInt();
    s.cid = q.value(1).toInt();
    s.sid = q.value(2).toInt();
    s.aid = q.value(3).toInt();
    s.uid = q.value(4).toInt();
    s.price = q.value(5).toDouble();
    s.num = q.value(6).toDouble();
    s.pay = q.value(7).toDouble();
    s.date = RecordStore::dateFrom(q.value(8));
    s.memo = q.value(9).toString();
    return s;
}

std::optional<qint64> SaleStore::quantityLimit(const Database& db, int sid, int pid, qint64 id) {
    if (sid == 0 || pid == 0)
        return std::nullopt;
    qint64 limit = StockLedger::stockQty(db, sid, pid);
    if (const std::optional<SaleInput> prior = id ? load(db, id) : std::nullopt;
        prior && prior->sid == sid && prior->pid == pid)
        limit += roundHalfEven(prior->num);
    return limit;
}

QString SaleStore::quantityHint(const Database& db, int sid, int pid, qint64 id) {
    const std::optional<qint64> limit = quantityLimit(db, sid, pid, id);
    if (!limit)
        return {};
    return QStringLiteral("此产品销售数量最大可调至:") + QString::number(*limit) +
           StockLedger::productField(db, pid, QStringLiteral("Unit"));
}

} // namespace tl
