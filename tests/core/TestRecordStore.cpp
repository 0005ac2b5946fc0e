#include "core/transactions/BuyStore.h"
#include "core/transactions/EntryHints.h"
#include "core/transactions/RecordDeletion.h"
#include "core/transactions/StockLedger.h"
#include "core/transactions/TransferStore.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QMap>
#include <QRandomGenerator>

using namespace tl;

namespace {

BuyInput purchase(int sid, int pid, double num) {
    return {pid, 1, 1, sid, 5, num, 0, QDate(2009, 2, 3), {}};
}
TransferInput transfer(int from, int to, int pid, double num) {
    return {to, from, pid, num, QDate(2009, 2, 5), {}};
}

int qty(Database& db, int sid, int pid) {
    return StockLedger::stockQty(db, sid, pid);
}

} // namespace

class TestRecordStore : public QObject {
    Q_OBJECT
private slots:
    void checksAmountsAndHints() {
        SaleInput s = test::sale(-2, 3, 3);
        s.uid = 0;
        QCOMPARE(SaleStore::check(s), QString("未填销售人员，请选择销售人员。"));
        s.uid = 3; // a negative quantity is a return; the stock is never checked
        QCOMPARE(SaleStore::check(s), QString());

        BuyInput b = purchase(1, 1, 0);
        b.vid = 0;
        QCOMPARE(BuyStore::check(b), QString("没有供货商，请选择供货商名称。"));
        b.vid = 1;
        QCOMPARE(BuyStore::check(b), QString());

        TransferInput a = transfer(1, 0, 7, 0);
        QCOMPARE(TransferStore::check(a), QString("出入库仓库或产品未填写完整！"));
        a.iid = 1;
        a.num = 0.4; // rounds to a transfer of nothing
        QCOMPARE(TransferStore::check(a), QString("调库数量为零！"));
        a.iid = 2;
        a.num = -3;
        QCOMPARE(TransferStore::check(a), QString());

        // "total|owed|owing": paid in full although 0.1 × 3 is not exactly 0.3 in binary.
        for (auto [price, pay, expected] : {std::tuple{12.5, 20.0, "37.5|17.5|1"},
                                            {0.1, 0.3, "0.3|0|0"},
                                            {19.9, 59.69, "59.7|0.01|1"}}) {
            const EntryHints::Amounts m = EntryHints::amounts(price, 3, pay);
            QCOMPARE(QString("%1|%2|%3").arg(m.totalText, m.owedText).arg(int(m.owing)),
                     QString(expected));
        }
    }
    void salesTakeStock() {
        test::TestAccountSet set;
        Database& db = set.db();
        db.exec("INSERT INTO Product (Name, Unit) VALUES ('铅笔', '支')");
        StockLedger::addStock(db, 1, 1, 5);
        SaleInput s = test::sale(5, 1, 1);
        s.memo = "首单";
        const qint64 first = SaleStore::add(db, s);
        SaleStore::add(db, test::sale(1, 1, 1));
        QCOMPARE(qty(db, 1, 1), -1);

        // 5 sold, 2 left: raised to 7 on the same pair leaves 0; the limit was 7.
        StockLedger::addStock(db, 1, 1, 3);
        QCOMPARE(SaleStore::quantityHint(db, 1, 1, first), QString("此产品销售数量最大可调至:7支"));
        QCOMPARE(SaleStore::quantityHint(db, 1, 1, 0), QString("此产品销售数量最大可调至:2支"));
        QCOMPARE(SaleStore::quantityHint(db, 0, 1, first), QString());
        // A record of another warehouse or product gives nothing back.
        for (const SaleInput& other : {test::sale(4, 2, 1), test::sale(4, 1, 2)})
            QCOMPARE(SaleStore::quantityHint(db, 1, 1, SaleStore::add(db, other)),
                     QString("此产品销售数量最大可调至:2支"));
        s.num = 7;
        QVERIFY(SaleStore::modify(db, first, s));
        QCOMPARE(qty(db, 1, 1), 0);
        const SaleInput loaded = *SaleStore::load(db, first);
        QVERIFY(loaded.num == 7.0 && loaded.memo == "首单" && loaded.date == QDate(2009, 2, 4));

        // Fractions stay in the record and are rounded halves to even in stock.
        const qint64 half = SaleStore::add(db, test::sale(2.5, 3, 1));
        QCOMPARE(db.value("SELECT Num FROM Sale WHERE ID=?", {half}).toDouble(), 2.5);
        SaleStore::add(db, test::sale(3.5, 3, 1));
        QCOMPARE(qty(db, 3, 1), -6);
        // 5 changed to 2.5 gives back 3, so deleting it later evens out.
        const qint64 five = SaleStore::add(db, test::sale(5, 4, 1));
        QVERIFY(SaleStore::modify(db, five, test::sale(2.5, 4, 1)));
        QCOMPARE(qty(db, 4, 1), -2);
        QCOMPARE(deleteRecords(db, "Sale", "ID", {five}), 1);
        QCOMPARE(qty(db, 4, 1), 0);
    }
    void purchasesTransfersAndFailedWrites() {
        test::TestAccountSet set;
        Database& db = set.db();
        db.exec("INSERT INTO Product (Name, Unit) VALUES ('铅笔', '支'), ('橡皮', NULL)");
        QCOMPARE(EntryHints::priceHint(db, 2), QString("本产品销售参考价为:0元"));
        QCOMPARE(EntryHints::priceHint(db, 0), QString());
        const qint64 id = BuyStore::add(db, purchase(1, 1, 10));
        SaleStore::add(db, test::sale(7, 1, 1));
        QCOMPARE(BuyStore::quantityHint(db, 1, 1, id), QString("此产品销售数量最小可调至:7支"));
        QCOMPARE(BuyStore::quantityHint(db, 1, 1, 0), QString("此产品销售数量最小可调至:3支"));
        for (const BuyInput& other : {purchase(2, 1, 4), purchase(1, 2, 4)})
            QCOMPARE(BuyStore::quantityHint(db, 1, 1, BuyStore::add(db, other)),
                     QString("此产品销售数量最小可调至:3支"));
        QVERIFY(BuyStore::modify(db, id, purchase(2, 1, 6)));
        QCOMPARE(BuyStore::load(db, id)->sid, 2);

        StockLedger::addStock(db, 1, 7, 10);
        const qint64 moved = TransferStore::add(db, transfer(1, 4, 7, 10));
        QCOMPARE(TransferStore::quantityHint(db, 1, 7, moved), QString("可调库存量为：10"));
        QCOMPARE(TransferStore::quantityHint(db, 1, 7, 0), QString("可调库存量为：0"));
        for (const TransferInput& other : {transfer(2, 4, 7, 3), transfer(1, 4, 8, 3)})
            QCOMPARE(TransferStore::quantityHint(db, 1, 7, TransferStore::add(db, other)),
                     QString("可调库存量为：0"));

        // A quantity of 2.5 is kept and moved as 2.
        const qint64 half = TransferStore::add(db, transfer(5, 6, 7, 2.5));
        QCOMPARE(TransferStore::load(db, half)->num, 2.0);
        QCOMPARE(qty(db, 5, 7), -2);
        QCOMPARE(qty(db, 6, 7), 2);
        QCOMPARE(deleteRecords(db, "Adjust", "ID", {half}), 1);
        QCOMPARE(qty(db, 5, 7), 0);
        QCOMPARE(qty(db, 6, 7), 0);

        // A write that fails leaves the stock and the records as they were.
        const qint64 sold = SaleStore::add(db, test::sale(2, 1, 9));
        test::refuseWrites(db, "no_sale", "INSERT", "Sale");
        test::refuseWrites(db, "no_change", "UPDATE", "Sale");
        test::refuseWrites(db, "no_move", "INSERT", "Adjust");
        QVERIFY_THROWS_EXCEPTION(DbError, SaleStore::add(db, test::sale(5, 1, 9)));
        QVERIFY_THROWS_EXCEPTION(DbError, SaleStore::modify(db, sold, test::sale(9, 3, 9)));
        QVERIFY_THROWS_EXCEPTION(DbError, TransferStore::add(db, transfer(1, 2, 9, 4)));
        QCOMPARE(qty(db, 1, 9), -2);
        QCOMPARE(SaleStore::load(db, sold)->sid, 1);
        QVERIFY(!SaleStore::load(db, sold + 1));
        QCOMPARE(db.value("SELECT count(*) FROM Sale").toInt(), 2);
    }
    void ledgerMatchesRebuildAfterRandomWork() {
        test::TestAccountSet set;
        Database& db = set.db();
        QRandomGenerator random(20090204);
        auto pick = [&](int n) { return int(random.bounded(n)) + 1; };
        QList<qint64> ids[3]; // sales, purchases, transfers
        for (int i = 0; i < 400; ++i) {
            const int sid = pick(3), pid = pick(4), k = pick(3) - 1,
                      action = int(random.bounded(7));
            const double num = random.bounded(20) - 4;
            const SaleInput s = test::sale(num, sid, pid);
            const BuyInput b = purchase(sid, pid, num);
            const TransferInput t = transfer(sid, sid % 3 + 1, pid, num);
            QList<qint64>& list = ids[k];
            const int at = list.isEmpty() ? -1 : int(random.bounded(list.size()));
            if (action < 3) // add
                list << (k == 0   ? SaleStore::add(db, s)
                         : k == 1 ? BuyStore::add(db, b)
                                  : TransferStore::add(db, t));
            else if (at >= 0 && action < 6) // modify
                k == 0   ? SaleStore::modify(db, list[at], s)
                : k == 1 ? BuyStore::modify(db, list[at], b)
                         : TransferStore::modify(db, list[at], t);
            else if (at >= 0) // delete
                deleteRecords(db, QStringList{"Sale", "Buy", "Adjust"}[k], "ID", {list.takeAt(at)});
        }
        auto balances = [&](const QString& table) {
            QMap<QPair<int, int>, double> out;
            QSqlQuery q = db.run(QString("SELECT SID, PID, Num FROM %1 WHERE Num<>0").arg(table));
            while (q.next())
                out.insert({q.value(0).toInt(), q.value(1).toInt()}, q.value(2).toDouble());
            return out;
        };
        const auto ledger = balances("Stock");
        QVERIFY(ledger.size() > 5);
        StockLedger::rebuildStock(db, StockLedger::allDates, "T_ST1");
        QCOMPARE(balances("T_ST1"), ledger);
        QCOMPARE(balances("Stock"), ledger);
    }
};

QTEST_GUILESS_MAIN(TestRecordStore)
#include "TestRecordStore.moc"
