#include "data/Database.h"
#include "data/Progress.h"
#include "grid/Grid.h"
#include "grid/GridMerge.h"
#include "statistics/TradeReports.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QTest>

using namespace tl;

class TestTradeReports : public QObject {
    Q_OBJECT
private slots:
    void salesTotalsPerProduct();
    void totalsAmountsAsPlainCutDecimals();
    void emptyAndReversedPeriods();
    void receivablesMatrix();
    void payablesPerSupplier();
};

namespace {

void sale(Database& db, int pid, int cid, double price, double num, double pay,
          const QString& date) {
    db.exec("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat) "
            "VALUES (?,?,1,1,1,?,?,?,?)",
            {pid, cid, price, num, pay, date});
}

void buy(Database& db, int pid, int vid, double price, double num, double pay,
         const QString& date) {
    db.exec("INSERT INTO Buy (PID, VID, AID, SID, Price, Num, Pay, Dat) VALUES (?,?,1,1,?,?,?,?)",
            {pid, vid, price, num, pay, date});
}

const Period february{QDate(2009, 2, 1), QDate(2009, 2, 28)};

} // namespace

void TestTradeReports::salesTotalsPerProduct() {
    test::TestAccountSet set;
    Database& db = set.db();
    db.exec("INSERT INTO Product (PID, Name) VALUES (1, '铅笔'), (2, '橡皮')");
    sale(db, 1, 1, 10, 2, 5, "2009-02-01");          // the first day counts
    sale(db, 1, 2, 20, 3, 0, "2009-02-28 18:00:00"); // so does the whole last day
    sale(db, 1, 1, 99, 1, 0, "2009-03-01");
    sale(db, 2, 1, 4, 1.5, 0, "2009-02-10");
    sale(db, 3, 1, 2, 1.5, 1, "2009-02-10"); // product 3 is gone from Product

    Grid g;
    QVERIFY(tradeTotals(db, g, TradeSide::Sales, february));
    QCOMPARE(g.rows(), 5);
    QCOMPARE(test::rowText(g, 1), QString("1|铅笔|5|80.00|5.00|75.00"));
    QCOMPARE(test::rowText(g, 2), QString("2|橡皮|1.5|6.00|0.00|6.00"));
    QCOMPARE(test::rowText(g, 3), QString("3||1.5|3.00|1.00|2.00"));
    // Running quantity in whole units: 5, then 6.5 -> 6, then 7.5 -> 8.
    QCOMPARE(test::rowText(g, 4), QString("总计|总计|8|89.00|6.00 |83.00"));
    QCOMPARE(mergedAreas(g), QList<QRect>{QRect(0, 4, 2, 1)});

    // 1.5 and 1.5 for two products: the running quantity is 2 after the
    // first (halves to even) and 4 after the second (2 + 1.5 = 3.5).
    db.exec("UPDATE Sale SET Num=1.5 WHERE PID=1");
    QVERIFY(tradeTotals(db, g, TradeSide::Sales, {QDate(2009, 2, 1), QDate(2009, 2, 1)}));
    QCOMPARE(g.text(2, 2), QString("2"));
    db.exec("DELETE FROM Sale WHERE PID=3");
    QVERIFY(tradeTotals(db, g, TradeSide::Sales, {QDate(2009, 2, 1), QDate(2009, 2, 10)}));
    QCOMPARE(g.text(3, 2), QString("4"));
}

void TestTradeReports::totalsAmountsAsPlainCutDecimals() {
    test::TestAccountSet set;
    Database& db = set.db();
    db.exec("INSERT INTO Product (PID, Name) VALUES (1, 'a'), (2, 'b'), (3, 'c'), (4, 'd')");
    buy(db, 1, 1, 12.349, 1, 0, "2009-02-02");        // cut, not rounded
    buy(db, 2, 1, 5000000, 1, 5000000, "2009-02-02"); // no separators, no exponent
    buy(db, 3, 1, 80.3, 1, 80.2, "2009-02-02");       // 0.10, not 0.09
    buy(db, 4, 1, 1.42, 19, 26.98, "2009-02-02");     // paid in full: no "-0.00"
    Grid g;
    QVERIFY(tradeTotals(db, g, TradeSide::Purchases, february));
    QCOMPARE(test::rowText(g, 1), QString("1|a|1|12.34|0.00|12.34"));
    QCOMPARE(test::rowText(g, 2), QString("2|b|1|5000000.00|5000000.00|0.00"));
    QCOMPARE(test::rowText(g, 3), QString("3|c|1|80.30|80.20|0.10"));
    QCOMPARE(test::rowText(g, 4), QString("4|d|19|26.98|26.98|0.00"));
    QCOMPARE(test::rowText(g, 5), QString("总计|总计|22|5000119.62|5000107.18 |12.44"));

    // A quadrillion stays a plain number in the money form.
    db.exec("DELETE FROM Buy");
    buy(db, 1, 1, 1e15, 1, 0.00001, "2009-02-02");
    QVERIFY(tradeTotals(db, g, TradeSide::Purchases, february));
    QCOMPARE(test::rowText(g, 1), QString("1|a|1|1000000000000000.00|0.00|1000000000000000.00"));
}

void TestTradeReports::emptyAndReversedPeriods() {
    test::TestAccountSet set;
    Database& db = set.db();
    db.exec("INSERT INTO Product (PID, Name) VALUES (1, '铅笔')");
    sale(db, 1, 1, 10, 2, 5, "2009-02-10");
    buy(db, 1, 1, 10, 2, 5, "2009-02-10");

    Grid g;
    const Period reversed{february.last, february.first};
    for (TradeSide side : {TradeSide::Sales, TradeSide::Purchases}) {
        QVERIFY(tradeTotals(db, g, side, february));
        QVERIFY(!tradeTotals(db, g, side, reversed));
        QCOMPARE(g.rows(), 2);
        QVERIFY(outstandingMatrix(db, g, side, february));
        QVERIFY(!outstandingMatrix(db, g, side, reversed));
        QCOMPARE(g.rows(), 2);
        QVERIFY(!outstandingMatrix(db, g, side, {QDate(2010, 1, 1), QDate(2010, 12, 31)}));
    }
    // Nothing is left behind in the account set.
    for (const QString& t : db.tableNames())
        QVERIFY2(!t.startsWith("T_"), qPrintable(t));
    QVERIFY_THROWS_EXCEPTION(DbError, tradeTotals(db, g, TradeSide::Sales, {QDate(), QDate()}));
}

void TestTradeReports::receivablesMatrix() {
    test::TestAccountSet set;
    Database& db = set.db();
    db.exec("INSERT INTO Product (PID, Name) VALUES (1, '甲'), (2, '乙'), (3, '丙')");
    db.exec("INSERT INTO Customer (CID, Name) VALUES (4, '张三'), (7, '李四')");
    sale(db, 1, 4, 20, 3, 0, "2009-02-01");
    sale(db, 1, 4, 10, 2, 5, "2009-02-02");        // 75.00 owed on 甲
    sale(db, 2, 4, 1.42, 19, 26.98, "2009-02-03"); // 乙 paid in full
    sale(db, 3, 7, 0.335, 1, 0, "2009-02-03");     // 0.33 shown, 0.335 counted in the row
    sale(db, 3, 4, 0.335, 1, 0, "2009-02-03");
    sale(db, 3, 9, 1, 1, 0, "2009-02-04"); // customer 9 no longer exists

    Grid g;
    QVERIFY(outstandingMatrix(db, g, TradeSide::Sales, february));
    QCOMPARE(g.rows(), 3 + 3);
    QCOMPARE(test::rowText(g, 0), QString("|||4|7|9|"));
    QCOMPARE(test::rowText(g, 1), QString("|序号|产品名称|张三|李四||总计"));
    QCOMPARE(test::rowText(g, 2), QString("1|1|甲|75.00|-|-|75.00"));
    QCOMPARE(test::rowText(g, 3), QString("2|2|乙|-|-|-|-"));
    QCOMPARE(test::rowText(g, 4), QString("3|3|丙|0.33|0.33|1.00|1.67"));
    // Column totals add up the shown cells; the grand total the shown row totals.
    QCOMPARE(test::rowText(g, 5), QString("|总计||75.33|0.33|1.00|76.67"));
    // Equal column totals side by side stay two cells.
    db.exec("UPDATE Sale SET Price=0.335 WHERE CID=9");
    QVERIFY(outstandingMatrix(db, g, TradeSide::Sales, february));
    QCOMPARE(g.text(5, 4), g.text(5, 5));
    QVERIFY(mergedAreas(g).isEmpty());
}

void TestTradeReports::payablesPerSupplier() {
    test::TestAccountSet set;
    Database& db = set.db();
    db.exec("INSERT INTO Product (PID, Name) VALUES (1, '甲'), (2, '乙')");
    db.exec("INSERT INTO Vender (VID, Name) VALUES (1, '一厂'), (2, '二厂'), (3, '三厂')");
    buy(db, 1, 2, 5, 10, 20, "2009-02-05");
    buy(db, 2, 1, 1, 1, 0, "2009-02-05");
    buy(db, 2, 3, 1, 2, 0, "2009-02-05");
    sale(db, 1, 1, 100, 1, 0, "2009-02-05"); // sales do not count here
    Grid g;
    QVERIFY(outstandingMatrix(db, g, TradeSide::Purchases, february));
    QCOMPARE(test::rowText(g, 1), QString("|序号|产品名称|一厂|二厂|三厂|总计"));
    QCOMPARE(test::rowText(g, 2), QString("1|1|甲|-|30.00|-|30.00"));
    QCOMPARE(test::rowText(g, 3), QString("2|2|乙|1.00|-|2.00|3.00"));
    QCOMPARE(test::rowText(g, 4), QString("|总计||1.00|30.00|2.00|33.00"));
}

QTEST_GUILESS_MAIN(TestTradeReports)
#include "TestTradeReports.moc"
