#include "core/transactions/BuyStore.h"
#include "core/transactions/StockLedger.h"
#include "core/transactions/TransferStore.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <functional>
#include <limits>

using namespace tl;

namespace {
const QString kRange = "数量超出范围（-2147483648至2147483647），请重新输入！";
const QString kNotNumber = "数量不是有效的数字，请重新输入！";
const QString kPrice = "单价不是有效的数字，请重新输入！";
const QString kAmount = "金额不是有效的数字，请重新输入！";
const QString kTotal = "总金额超出范围，请检查单价和数量！";
const QString kDate = "日期无效或超出范围（1900-01-01至9999-12-31），请重新选择！";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
} // namespace

class TestStoreChecks : public QObject {
    Q_OBJECT
private slots:
    // A sale of 3000000000 used to be stored with Num 3e9 while Stock moved by
    // 2147483647; dates outside the range were stored as null.
    void unsoundRecordsAreRefusedWhole() {
        test::TestAccountSet set;
        const Database& db = set.db();
        const struct {
            std::function<void(SaleInput&)> change;
            QString message;
        } cases[] = {
            {[](SaleInput& s) { s.num = 3e9; }, kRange},
            {[](SaleInput& s) { s.num = -2147483649.0; }, kRange},
            {[](SaleInput& s) { s.num = kNaN; }, kNotNumber},
            {[](SaleInput& s) { s.num = -kInf; }, kNotNumber},
            {[](SaleInput& s) { s.price = kInf; }, kPrice},
            {[](SaleInput& s) { s.pay = kNaN; }, kAmount},
            {[](SaleInput& s) { s.price = 1e300, s.num = 1e9; }, kTotal},
            {[](SaleInput& s) { s.date = QDate(); }, kDate},
            {[](SaleInput& s) { s.date = QDate(10000, 1, 1); }, kDate},
        };
        const qint64 stored = SaleStore::add(db, test::sale(3));
        for (const auto& c : cases) {
            SaleInput s = test::sale(3);
            c.change(s);
            QCOMPARE(SaleStore::check(s), c.message);
            // A caller that skips the check is refused all the same.
            try {
                SaleStore::add(db, s);
                QFAIL("an unsound sale was stored");
            } catch (const DbError& e) {
                QCOMPARE(e.kind(), DbError::Kind::Refused);
                QCOMPARE(e.userText(), c.message);
            }
            QVERIFY_THROWS_EXCEPTION(DbError, SaleStore::modify(db, stored, s));
        }
        // A missing choice is named before an unsound value.
        SaleInput none = test::sale(3);
        none.cid = 0;
        none.num = kNaN;
        QCOMPARE(SaleStore::check(none), QString("没有用户名称，请选择用户名称。"));

        // Purchases and transfers too.
        BuyInput b{1, 1, 1, 1, 0, 3e9, 0, QDate(2009, 2, 4), {}};
        QCOMPARE(BuyStore::check(b), kRange);
        QVERIFY_THROWS_EXCEPTION(DbError, BuyStore::add(db, b));
        b.num = 1;
        b.pay = kInf;
        QCOMPARE(BuyStore::check(b), kAmount);

        // A quantity out of range is not mistaken for a transfer of nothing either.
        TransferInput a{1, 2, 1, 3e9, QDate(2009, 2, 4), {}};
        QCOMPARE(TransferStore::check(a), kRange);
        QVERIFY_THROWS_EXCEPTION(DbError, TransferStore::add(db, a));
        a.num = 5;
        a.date = QDate(1800, 1, 1);
        QCOMPARE(TransferStore::check(a), kDate);
        QVERIFY_THROWS_EXCEPTION(DbError, TransferStore::add(db, a));
        QCOMPARE(
            test::queryRows(db, "SELECT (SELECT count(*) FROM Buy), (SELECT count(*) FROM Adjust), "
                                "(SELECT count(*) FROM Sale), (SELECT count(*) FROM Stock)"),
            QString("0|0|1|1"));
        QCOMPARE(StockLedger::stockQty(db, 1, 1), -3);
        QCOMPARE(db.value("SELECT Dat FROM Sale").toString(), QString("2009-02-04"));

        // The edges themselves are sound.
        SaleInput edge = test::sale(3);
        edge.num = 2147483647;
        edge.date = QDate(1900, 1, 1);
        QCOMPARE(SaleStore::check(edge), QString());
        QVERIFY(SaleStore::modify(db, stored, edge));
        QCOMPARE(StockLedger::stockQty(db, 1, 1), -2147483647);
        edge.num = -2147483648.0;
        edge.date = QDate(9999, 12, 31);
        QVERIFY(SaleStore::modify(db, stored, edge));
        QCOMPARE(db.value("SELECT Stock.Num + Sale.Num FROM Stock, Sale").toDouble(), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestStoreChecks)
#include "TestStoreChecks.moc"
