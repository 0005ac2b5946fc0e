#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "core/grid/GridMerge.h"
#include "core/statistics/HideEmpty.h"
#include "core/statistics/StockReport.h"
#include "core/statistics/TradeReports.h"
#include "core/support/Progress.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QTest>

using namespace tl;

// The statistics reports: sales and purchase totals, what is owed, stock.

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

// Two warehouses; products 1 and 2 in class 1 ("A1", "A2"), 3 in class 2 ("B1"),
// entered so that database order differs from class order.
void twoWarehousesThreeProducts(Database& db) {
    db.exec("INSERT INTO Storage (SID, Name) VALUES (1, '一号库'), (2, '二号库')");
    db.exec("INSERT INTO Product (PID, CID, SName, Name) VALUES "
            "(3, 2, 'B1', '乙一'), (1, 1, 'A1', '甲一'), (2, 1, 'A2', '甲二')");
}

} // namespace

class TestReports : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TestAccountSet> m_set; // a fresh account set for every test
private slots:
    void init() { m_set = std::make_unique<test::TestAccountSet>(); }
    void salesTotalsPerProduct() {
        Database& db = m_set->db();
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
        // first and 4 after the second (2 + 1.5 = 3.5), not 3 for the sum rounded.
        db.exec("UPDATE Sale SET Num=1.5 WHERE PID=1");
        db.exec("DELETE FROM Sale WHERE PID=3");
        QVERIFY(tradeTotals(db, g, TradeSide::Sales, {QDate(2009, 2, 1), QDate(2009, 2, 10)}));
        QCOMPARE(g.text(3, 2), QString("4"));
    }
    void totalsAmountsAsPlainCutDecimals() {
        Database& db = m_set->db();
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
        QCOMPARE(test::rowText(g, 1),
                 QString("1|a|1|1000000000000000.00|0.00|1000000000000000.00"));
    }
    void emptyAndReversedPeriods() {
        Database& db = m_set->db();
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
    void receivablesAndPayablesMatrices() {
        Database& db = m_set->db();
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
        QCOMPARE(test::rowText(g, 5), QString("|总计|总计|75.33|0.33|1.00|76.67"));
        // "总计" shows as one cell; equal column totals side by side stay two.
        db.exec("UPDATE Sale SET Price=0.335 WHERE CID=9");
        QVERIFY(outstandingMatrix(db, g, TradeSide::Sales, february));
        QCOMPARE(g.text(5, 4), g.text(5, 5));
        QCOMPARE(mergedAreas(g), QList<QRect>{QRect(1, 5, 2, 1)});

        // What is owed to each supplier; the sales above do not count here (丙 has only sales).
        db.exec("INSERT INTO Vender (VID, Name) VALUES (1, '一厂'), (2, '二厂'), (3, '三厂')");
        buy(db, 1, 2, 5, 10, 20, "2009-02-05");
        buy(db, 2, 1, 1, 1, 0, "2009-02-05");
        buy(db, 2, 3, 1, 2, 0, "2009-02-05");
        QVERIFY(outstandingMatrix(db, g, TradeSide::Purchases, february));
        QCOMPARE(test::rowText(g, 1), QString("|序号|产品名称|一厂|二厂|三厂|总计"));
        QCOMPARE(test::rowText(g, 2), QString("1|1|甲|-|30.00|-|30.00"));
        QCOMPARE(test::rowText(g, 3), QString("2|2|乙|1.00|-|2.00|3.00"));
        QCOMPARE(test::rowText(g, 4), QString("|总计|总计|1.00|30.00|2.00|33.00"));
    }
    void stockReportLaysOutTwoWarehousesAndTwoClasses() {
        Database& db = m_set->db();
        twoWarehousesThreeProducts(db);
        // A1: 4 units worth 10.00, 3 in the first warehouse and 1 in the second;
        // A2 and B1 have no stock anywhere.
        test::buy(db, 1, 1, 4, 2.5, "2009-02-01");
        test::transfer(db, 1, 2, 1, 1, "2009-02-02");

        Grid g;
        test::RecordingProgress progress;
        QVERIFY(stockReport(db, g, progress));
        QCOMPARE(g.rows(), 8);
        QCOMPARE(test::rowText(g, 0), QString("||||1|2||3||"));
        QCOMPARE(test::rowText(g, 1), QString("|序号|所在仓库|类别|A1|A2|小计|B1|小计|总计"));
        QCOMPARE(test::rowText(g, 2), QString("1|1|一号库|数量|3|-|3|-|-|3"));
        QCOMPARE(test::rowText(g, 3), QString("1|1|一号库|金额|7.50|-|7.50|-|-|7.50"));
        QCOMPARE(test::rowText(g, 4), QString("2|2|二号库|数量|1|-|1|-|-|1"));
        QCOMPARE(test::rowText(g, 5), QString("2|2|二号库|金额|2.50|-|2.50|-|-|2.50"));
        QCOMPARE(test::rowText(g, 6), QString("| |总计|数量|4|-|4|-|-|4"));
        QCOMPARE(test::rowText(g, 7), QString("| |总计|金额|10.00|-|10.00|-|-|10.00"));
        QVERIFY(g.style(3, 4).back.isValid() && !g.style(2, 4).back.isValid()); // money rows shaded
        // Each warehouse one number and one name; the total rows one "总计".
        const QList<QRect> areas = mergedAreas(g);
        for (const QRect& area : {QRect(2, 2, 1, 2), QRect(1, 4, 1, 2), QRect(2, 6, 1, 2)})
            QVERIFY(areas.contains(area));
        QVERIFY(!progress.captions.isEmpty() && !progress.open); // the progress display closes
    }
    void stockReportRepairsStockAndStopsWithoutWarehouses() {
        Database& db = m_set->db();
        db.exec("INSERT INTO Product (PID, CID, SName, Name) VALUES (1, 1, 'A1', '甲一')");
        test::buy(db, 1, 1, 5, 2, "2009-02-01");
        db.exec("INSERT INTO Stock (SID, PID, Num) VALUES (1, 1, 99), (4, 1, 3)"); // out of step
        Grid g;
        QVERIFY(!stockReport(db, g)); // no warehouse: nothing to show, Stock still repaired
        QCOMPARE(test::queryRows(db, "SELECT SID, Num FROM Stock"), QString("1|5"));
        db.exec("INSERT INTO Storage (SID, Name) VALUES (1, '一号库')");
        db.exec("UPDATE Stock SET Num=99");
        QVERIFY(stockReport(db, g));
        QCOMPARE(test::rowText(g, 2, 4), QString("5|5|5"));
        QCOMPARE(test::rowText(g, 3, 4), QString("10.00|10.00|10.00"));
    }
    void changeReportInQuantities() {
        Database& db = m_set->db();
        twoWarehousesThreeProducts(db);
        test::buy(db, 1, 1, 10, 1, "2009-01-15");
        test::sell(db, 1, 1, 4, "2009-02-10 15:30:00"); // the time of day does not matter
        test::buy(db, 2, 3, 7, 1, "2009-01-20");        // unchanged between the dates
        // A2: 0.2 in, 0.3 out: -0.1, not the binary noise of the sum.
        test::buy(db, 2, 2, 0.2, 1, "2009-02-01");
        test::sell(db, 2, 2, 0.3, "2009-02-02");
        const QDate d1(2009, 1, 31), d2(2009, 2, 28);

        Grid g;
        QVERIFY(stockChangeReport(db, g, d1, d2, StockMeasure::Quantities));
        QCOMPARE(g.rows(), 3 * 2 + 5);
        QCOMPARE(test::rowText(g, 2), QString("1|1|一号库|2009-01-31|10|-|10|-|-|10"));
        QCOMPARE(test::rowText(g, 3), QString("1|1|一号库|2009-02-28|6|-|6|-|-|6"));
        QCOMPARE(test::rowText(g, 4), QString("1|1|一号库|增减量|-4|-|-4|-|-|-4"));
        QCOMPARE(test::rowText(g, 6, 3), QString("2009-02-28|-|-0.1|-0.1|7|7|6.9"));
        QCOMPARE(test::rowText(g, 7, 3),
                 QString("增减量|-|-0.1|-0.1|-|-|-0.1")); // B1: 7 at both dates
        QCOMPARE(test::rowText(g, 8), QString("| |总计|2009-01-31|10|-|10|7|7|17"));
        QCOMPARE(test::rowText(g, 10), QString("| |总计|增减量|-4|-0.1|-4.1|-|-|-4.1"));
        QCOMPARE(db.value("SELECT count(*) FROM Stock").toInt(), 0); // not as of all dates

        // Reversed dates are not refused: the change turns round.
        QVERIFY(stockChangeReport(db, g, d2, d1, StockMeasure::Quantities));
        QCOMPARE(test::rowText(g, 4, 3), QString("增减量|4|-|4|-|-|4"));
    }
    void changeReportInValuesAsOfPastDates() {
        Database& db = m_set->db();
        twoWarehousesThreeProducts(db);
        // 10 at 5.00 and 10 at 6.00 by February, 15 sold, 5 more at 7.00 in March.
        test::buy(db, 1, 1, 10, 5, "2009-01-01");
        test::buy(db, 1, 1, 10, 6, "2009-01-02");
        test::sell(db, 1, 1, 15, "2009-02-03");
        test::buy(db, 1, 1, 5, 7, "2009-03-01");
        Grid g;
        QVERIFY(
            stockChangeReport(db, g, QDate(2009, 1, 31), QDate(2009, 2, 28), StockMeasure::Values));
        // The 5 units left at the end of February are worth 5 × 6.00, whatever
        // was bought later; the fall stays a plain number.
        QCOMPARE(test::rowText(g, 2, 3), QString("2009-01-31|110.00|-|110.00|-|-|110.00"));
        QCOMPARE(test::rowText(g, 3, 3), QString("2009-02-28|30.00|-|30.00|-|-|30.00"));
        QCOMPARE(test::rowText(g, 4, 3), QString("增减量|-80|-|-80|-|-|-80"));

        // As of all dates everything counts and Stock is rebuilt.
        QVERIFY(
            stockChangeReport(db, g, QDate(2009, 2, 28), QDate(2200, 1, 1), StockMeasure::Values));
        QCOMPARE(test::rowText(g, 3, 3), QString("2200-01-01|65.00|-|65.00|-|-|65.00"));
        QCOMPARE(test::rowText(g, 4, 3), QString("增减量|35.00|-|35.00|-|-|35.00"));
        QCOMPARE(db.value("SELECT Num FROM Stock WHERE SID=1 AND PID=1").toDouble(), 10.0);
    }
    void hidingEmptyLinesKeepsBalancedProducts() {
        Database& db = m_set->db();
        twoWarehousesThreeProducts(db);
        db.exec("INSERT INTO Storage (SID, Name) VALUES (3, '空库')");
        // A1: +5 in one warehouse, -5 in the other: its totals are 0, it is not empty.
        test::transfer(db, 1, 2, 1, 5, "2009-02-01");
        test::sell(db, 1, 3, 2, "2009-02-01"); // B1: sold in warehouse 1 only, never bought
        Grid g;
        QVERIFY(stockReport(db, g));
        QCOMPARE(test::rowText(g, 2, 4), QString("-5|-|-5|-2|-2|-7"));
        QCOMPARE(test::rowText(g, 8, 4), QString("-|-|-|-2|-2|-2"));

        hideEmptyLines(g, true);
        QVERIFY(g.colWidth(4) > 0 && g.colWidth(7) > 0); // A1 stays, and B1, below zero only
        QCOMPARE(g.colWidth(5), 0);                      // A2 has nothing anywhere
        QVERIFY(g.colWidth(1) > 0);                      // fixed columns are never touched
        QCOMPARE(g.rowHeight(6), 0);                     // the empty warehouse
        QVERIFY(g.rowHeight(2) > 0);                     // below zero only
        QCOMPARE(g.rowHeight(5), 0); // money row of the -5 warehouse: nothing bought there

        hideEmptyLines(g, false);
        QVERIFY(g.colWidth(5) > 0 && g.rowHeight(6) > 0);
        QCOMPARE(g.rowHeight(0), 0); // the hidden caption row stays hidden
    }
};

QTEST_GUILESS_MAIN(TestReports)
#include "TestReports.moc"
