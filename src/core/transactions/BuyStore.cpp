#include "core/transactions/BuyStore.h"

#include "core/data/Database.h"
#include "core/transactions/RecordStore.h"
#include "core/transactions/StockLedger.h"
#include "core/values/Numbers.h"

#include <QSqlQuery>

namespace tl {

namespace {
const QString table = QStringLiteral("Buy");
const QStringList columns{"PID", "VID", "AID", "SID", "Price", "Num", "Pay", "Dat", "Memo"};

QString checkValues(const BuyInput& b) {
    QString problem = RecordStore::checkQuantity(b.num);
    if (problem.isEmpty())
        problem = RecordStore::checkMoney(b.price, b.num, b.pay);
    if (problem.isEmpty())
        problem = RecordStore::checkDate(b.date);
    return problem;
}

QVariantList values(const BuyInput& b) {
    return {b.pid, b.vid, b.aid, b.sid, b.price, b.num, b.pay, RecordStore::dateValue(b.date),
            b.memo};
}
} // namespace

QString BuyStore::check(const BuyInput& b) {
    if (b.pid == 0)
        return QStringLiteral("没有产品名称，请取填写产品名称。");
    if (b.vid == 0)
        return QStringLiteral("没有供货商，请选择供货商名称。");
    if (b.aid == 0)
        return QStringLiteral("未填付款账号，请选择付款账号。");
    if (b.sid == 0)
        return QStringLiteral("未填入库仓库，请选择入库仓库。");
    return checkValues(b);
}

qint64 BuyStore::add(const Database& db, const BuyInput& b) {
    RecordStore::require(checkValues(b));
    return RecordStore::insert(db, table, columns, values(b),
                               StockMoves::purchase(b.sid, b.pid, b.num));
}

bool BuyStore::modify(const Database& db, qint64 id, const BuyInput& b, QString* message) {
    RecordStore::require(checkValues(b));
    return RecordStore::replace(db, table, id, columns, values(b),
                                StockMoves::purchase(b.sid, b.pid, b.num), message);
}

std::optional<BuyInput> BuyStore::load(const Database& db, qint64 id) {
    QSqlQuery q = db.run(QStringLiteral("SELECT PID, VID, AID, SID, Price, Num, Pay, Dat, Memo "
                                        "FROM Buy WHERE ID=?"),
                         {id});
    if (!q.next())
        return std::nullopt;
    BuyInput b;
    b.pid = q.value(0).toInt();
    b.vid = q.value(1).toInt();
    b.aid = q.value(2).toInt();
    b.sid = q.value(3).toInt();
    b.price = q.value(4).toDouble();
    b.num = q.value(5).toDouble();
    b.pay = q.value(6).toDouble();
    b.date = RecordStore::dateFrom(q.value(7));
    b.memo = q.value(8).toString();
    return b;
}

std::optional<qint64> BuyStore::quantityFloor(const Database& db, int sid, int pid, qint64 id) {
    if (sid == 0 || pid == 0 || id == 0)
        return std::nullopt;
    const std::optional<BuyInput> prior = load(db, id);
    if (!prior || prior->sid != sid || prior->pid != pid)
        return std::nullopt;
    return roundHalfEven(prior->num) - StockLedger::stockQty(db, sid, pid);
}

QString BuyStore::quantityHint(const Database& db, int sid, int pid, qint64 id) {
    if (sid == 0 || pid == 0)
        return {};
    qint64 limit = StockLedger::stockQty(db, sid, pid);
    if (const std::optional<BuyInput> prior = id ? load(db, id) : std::nullopt;
        prior && prior->sid == sid && prior->pid == pid)
        limit = roundHalfEven(prior->num) - limit;
    return QStringLiteral("此产品销售数量最小可调至:") + QString::number(limit) +
           StockLedger::productField(db, pid, QStringLiteral("Unit"));
}

} // namespace tl
