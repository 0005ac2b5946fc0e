#include "data/Database.h"
#include "data/Progress.h"
#include "grid/Grid.h"
#include "grid/GridMerge.h"
#include "statistics/HideEmpty.h"
#include "statistics/StockReport.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QTest>

using namespace tl;

class TestStockReports : public QObject {
    Q_OBJECT
private slots:
    void stockReportLaysOutTwoWarehousesAndTwoClasses();
    void stockReportRepairsStockAndStopsWithoutWarehouses();
    void changeReportInQuantities();
    void changeReportInValuesAsOfPastDates();
    void hidingEmptyLinesKeepsBalancedProducts();
};

namespace {

// Two warehouses; products 1 and 2 in class 1 ("A1", "A2"), 3 in class 2 ("B1"),
// entered so that database order differs from class order.
void twoWarehousesThreeProducts(Database& db) {
    db.exec("INSERT INTO Storage (SID, Name) VALUES (1, '一号库'), (2, '二号库')");
    db.exec("INSERT INTO Product (PID, CID, SName, Name) VALUES "
            "(3, 2, 'B1', '乙一'), (1, 1, 'A1', '甲一'), (2, 1, 'A2', '甲二')");
}
} // namespace

void TestStockReports::stockReportLaysOutTwoWarehousesAndTwoClasses() {
    test::TestAccountSet set;
    Database& db = set.db();
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
    QCOMPARE(g.style(3, 4).back, QColor(240, 240, 240)); // money rows shaded, quantities not
    QCOMPARE(g.style(2, 4).back, QColor());
    // Each warehouse one number and one name; the total rows one "总计".
    const QList<QRect> areas = mergedAreas(g);
    QVERIFY(areas.contains(QRect(2, 2, 1, 2)));
    QVERIFY(areas.contains(QRect(1, 4, 1, 2)));
    QVERIFY(areas.contains(QRect(2, 6, 1, 2)));
    QVERIFY(!progress.captions.isEmpty() && !progress.open); // the progress display closes
}

void TestStockReports::stockReportRepairsStockAndStopsWithoutWarehouses() {
    test::TestAccountSet set;
    Database& db = set.db();
    db.exec("INSERT INTO Product (PID, CID, SName, Name) VALUES (1, 1, 'A1', '甲一')");
    test::buy(db, 1, 1, 5, 2, "2009-02-01");
    db.exec("INSERT INTO Stock (SID, PID, Num) VALUES (1, 1, 99), (4, 1, 3)"); // out of step
    Grid g;
    QVERIFY(!stockReport(db, g)); // no warehouse: nothing to show, Stock still repaired
    QCOMPARE(db.value("SELECT group_concat(SID || ':' || Num) FROM Stock").toString(),
             QString("1:5.0"));
    db.exec("INSERT INTO Storage (SID, Name) VALUES (1, '一号库')");
    db.exec("INSERT INTO Stock (SID, PID, Num) VALUES (1, 1, 99)");
    QVERIFY(stockReport(db, g));
    QCOMPARE(test::rowText(g, 2, 4), QString("5|5|5"));
    QCOMPARE(test::rowText(g, 3, 4), QString("10.00|10.00|10.00"));
}

void TestStockReports::changeReportInQuantities() {
    test::TestAccountSet set;
    Database& db = set.db();
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
    QCOMPARE(test::rowText(g, 7, 3), QString("增减量|-|-0.1|-0.1|-|-|-0.1")); // B1: 7 at both dates
    QCOMPARE(test::rowText(g, 8), QString("| |总计|2009-01-31|10|-|10|7|7|17"));
    QCOMPARE(test::rowText(g, 10), QString("| |总计|增减量|-4|-0.1|-4.1|-|-|-4.1"));
    QCOMPARE(db.value("SELECT count(*) FROM Stock").toInt(), 0); // not as of all dates

    // Reversed dates are not refused: the change turns round.
    QVERIFY(stockChangeReport(db, g, d2, d1, StockMeasure::Quantities));
    QCOMPARE(test::rowText(g, 4, 3), QString("增减量|4|-|4|-|-|4"));
}

void TestStockReports::changeReportInValuesAsOfPastDates() {
    test::TestAccountSet set;
    Database& db = set.db();
    twoWarehousesThreeProducts(db);
    // 10 at 5.00 and 10 at 6.00 by February, 15 sold, 5 more at 7.00 in March.
    test::buy(db, 1, 1, 10, 5, "2009-01-01");
    test::buy(db, 1, 1, 10, 6, "2009-01-02");
    test::sell(db, 1, 1, 15, "2009-02-03");
    test::buy(db, 1, 1, 5, 7, "2009-03-01");
    Grid g;
    QVERIFY(stockChangeReport(db, g, QDate(2009, 1, 31), QDate(2009, 2, 28), StockMeasure::Values));
    // The 5 units left at the end of February are worth 5 × 6.00, whatever
    // was bought later; the fall stays a plain number.
    QCOMPARE(test::rowText(g, 2, 3), QString("2009-01-31|110.00|-|110.00|-|-|110.00"));
    QCOMPARE(test::rowText(g, 3, 3), QString("2009-02-28|30.00|-|30.00|-|-|30.00"));
    QCOMPARE(test::rowText(g, 4, 3), QString("增减量|-80|-|-80|-|-|-80"));

    // As of all dates everything counts and Stock is rebuilt.
    QVERIFY(stockChangeReport(db, g, QDate(2009, 2, 28), QDate(2200, 1, 1), StockMeasure::Values));
    QCOMPARE(test::rowText(g, 3, 3), QString("2200-01-01|65.00|-|65.00|-|-|65.00"));
    QCOMPARE(test::rowText(g, 4, 3), QString("增减量|35.00|-|35.00|-|-|35.00"));
    QCOMPARE(db.value("SELECT Num FROM Stock WHERE SID=1 AND PID=1").toDouble(), 10.0);
}

void TestStockReports::hidingEmptyLinesKeepsBalancedProducts() {
    test::TestAccountSet set;
    Database& db = set.db();
    twoWarehousesThreeProducts(db);
    db.exec("INSERT INTO Storage (SID, Name) VALUES (3, '空库')");
    // A1: +5 in one warehouse, -5 in the other: its totals are 0, it is not empty.
    test::transfer(db, 1, 2, 1, 5, "2009-02-01");
    test::buy(db, 1, 3, 2, 1, "2009-02-01"); // B1 in warehouse 1 only
    Grid g;
    QVERIFY(stockReport(db, g));
    QCOMPARE(test::rowText(g, 2, 4), QString("-5|-|-5|2|2|-3"));
    QCOMPARE(test::rowText(g, 8, 4), QString("-|-|-|2|2|2"));

    hideEmptyLines(g, true);
    QVERIFY(g.colWidth(4) > 0);  // A1 stays
    QCOMPARE(g.colWidth(5), 0);  // A2 has nothing anywhere
    QVERIFY(g.colWidth(1) > 0);  // fixed columns are never touched
    QCOMPARE(g.rowHeight(6), 0); // the empty warehouse
    QVERIFY(g.rowHeight(2) > 0);
    QCOMPARE(g.rowHeight(5), 0); // money row of the -5 warehouse: nothing bought there

    hideEmptyLines(g, false);
    QVERIFY(g.colWidth(5) > 0 && g.rowHeight(6) > 0);
    QCOMPARE(g.rowHeight(0), 0); // the hidden caption row stays hidden
}

QTEST_GUILESS_MAIN(TestStockReports)
#include "TestStockReports.moc"
