#include "core/transactions/StockCheck.h"
#include "core/transactions/StockLedger.h"
#include "core/transactions/StockMoves.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

using namespace tl;

namespace {
// "pid|sid|num" of every row of a table, in key order, the rows joined by ";".
QString rows(Database& db, const QString& table) {
    return test::queryRows(db,
                           QString("SELECT PID, SID, Num FROM %1 ORDER BY PID, SID").arg(table));
}
} // namespace

class TestStockLedger : public QObject {
    Q_OBJECT
private slots:
    void balances() {
        test::TestAccountSet set;
        Database& db = set.db();
        QCOMPARE(StockLedger::stockQty(db, 1, 7), 0);
        StockLedger::addStock(db, 1, 7, -3); // no row yet: created with the change
        QCOMPARE(StockLedger::stockQty(db, 1, 7), -3);
        StockLedger::addStock(db, 1, 7, 5);
        StockLedger::addStock(db, 2, 7, 4);
        QCOMPARE(rows(db, "Stock"), QString("7|1|2;7|2|4"));

        db.exec("UPDATE Stock SET Num=2.5 WHERE SID=1");
        db.exec("UPDATE Stock SET Num=3.5 WHERE SID=2");
        QCOMPARE(StockLedger::stockQty(db, 1, 7), 2);
        QCOMPARE(StockLedger::stockQty(db, 2, 7), 4);

        // One row per pair: a second one is refused.
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 db.exec("INSERT INTO Stock (SID, PID, Num) VALUES (1, 7, 100)"));
    }
    // 10 bought at 5 on 02-01 and 10 at 6 on 02-03 (with a time: still that
    // day), some sold on 02-01; the value as of a date (more in TestReports).
    // Cases: the older lot used up exactly; more in stock than bought (every
    // lot counts); more sold than bought; nothing bought yet.
    void firstInFirstOutValue() {
        test::TestAccountSet set;
        Database& db = set.db();
        const QDate d(2009, 2, 3);
        const std::tuple<double, QDate, double> cases[] = {
            {10, d, 60}, {-4, d, 110}, {25, d, 0}, {0, QDate(2009, 1, 31), 0}};
        test::buy(db, 1, 1, 10, 5, "2009-02-01");
        test::buy(db, 1, 1, 10, 6, "2009-02-03 16:30:00");
        auto value = [&](int pid, const QDate& asOf) {
            StockLedger::valueStock(db, asOf, "T_ST1");
            return db.value("SELECT SUM(Num) FROM T_ST1 WHERE PID=?", {pid}).toDouble();
        };
        for (const auto& [sold, asOf, worth] : cases) {
            db.exec("DELETE FROM Sale");
            test::sell(db, 1, 1, sold, "2009-02-01");
            QCOMPARE(value(1, asOf), worth);
        }
        // Product 8: lots of one day go in the order entered; 9: a lot nothing
        // was taken from counts as bought (2.5 units, not 2).
        test::buy(db, 1, 8, 2, 1, "2009-03-01");
        test::buy(db, 1, 8, 2, 2, "2009-03-01");
        test::sell(db, 1, 8, 3, "2009-03-01");
        test::buy(db, 1, 9, 2.5, 1, "2009-03-01");
        QCOMPARE(value(8, d.addMonths(1)), 2.0);
        QCOMPARE(value(9, d.addMonths(1)), 2.5);
        QVERIFY_THROWS_EXCEPTION(DbError, StockLedger::valueStock(db, QDate(), "T_ST1"));
    }
    void rebuildAsOfADate() {
        test::TestAccountSet set;
        Database& db = set.db();
        test::buy(db, 1, 7, 10, 5, "2009-02-01");
        test::sell(db, 1, 7, 2.5, "2009-02-02 09:15:00");
        test::transfer(db, 1, 2, 7, 3, "2009-02-02");
        test::buy(db, 1, 7, 100, 5, "2009-02-03");
        test::buy(db, 3, 8, 4, 5, "2009-02-05");
        StockLedger::addStock(db, 9, 9, 1);

        test::RecordingProgress progress;
        StockLedger::rebuildStock(db, QDate(2009, 2, 2), "T_ST1", progress);
        // The transfer counts out of 1 and into 2; the fraction stays exact.
        QCOMPARE(rows(db, "T_ST1"), QString("7|1|4.5;7|2|3"));
        QVERIFY(!progress.captions.isEmpty() && !progress.open);
        // The purchases up to the date only.
        QCOMPARE(test::queryRows(db, "SELECT PID, Num FROM T_TBuy ORDER BY PID"), QString("7|10"));
        QVERIFY(db.tableExists("T_Buy1") && !db.tableNames().contains("T_Buy1")); // temporary
        QCOMPARE(rows(db, "Stock"), QString("9|9|1"));                            // untouched

        StockLedger::rebuildStock(db, QDate(2009, 2, 1), "T_ST2");
        QCOMPARE(rows(db, "T_ST2"), QString("7|1|10"));
        QCOMPARE(rows(db, "T_ST1"), QString("7|1|4.5;7|2|3"));

        for (const char* bad : {"Sale", "Stock", "T_Buy1", "T_PID1", "T_x; DROP TABLE Sale", ""})
            QVERIFY_THROWS_EXCEPTION(DbError,
                                     StockLedger::rebuildStock(db, QDate(2009, 2, 1), bad));
        QCOMPARE(db.value("SELECT count(*) FROM Sale").toInt(), 1);
    }
    void rebuildOfAllDatesReplacesStock() {
        test::TestAccountSet set;
        Database& db = set.db();
        test::buy(db, 1, 7, 10, 5, "2009-02-01");
        test::sell(db, 1, 7, 10, "2199-12-31");
        test::transfer(db, 1, 2, 7, 4, "2009-02-02");
        test::buy(db, 1, 8, 3, 5, "2009-02-01");
        StockLedger::addStock(db, 5, 5, 42); // a pair without records
        StockLedger::addStock(db, 1, 8, 3);
        db.exec("DELETE FROM Stock WHERE SID=5");

        StockLedger::rebuildStock(db, StockLedger::allDates, "T_ST1");
        // Zero and negative balances stay; the stale pair is gone.
        QCOMPARE(rows(db, "Stock"), QString("7|1|-4;7|2|4;8|1|3"));
        // Only what differs is written: the unchanged pair keeps its row.
        QCOMPARE(test::queryRows(db, "SELECT ID, PID, SID FROM Stock ORDER BY ID"),
                 QString("2|8|1;3|7|1;4|7|2"));
        QCOMPARE(test::queryRows(db, "SELECT PID, Num FROM T_TBuy ORDER BY PID"),
                 QString("7|10;8|3"));
        StockLedger::addStock(db, 6, 6, 1);
        QCOMPARE(db.value("SELECT max(ID) FROM Stock").toInt(), 5);
    }
    void rebuildIsWholeOrNothing() {
        test::TestAccountSet set;
        Database& db = set.db();
        test::buy(db, 1, 7, 10, 5, "2009-02-01");
        StockLedger::addStock(db, 1, 7, 3);
        StockLedger::rebuildStock(db, QDate(2009, 1, 1), "T_ST1");
        // The valuation fails after the rebuild has replaced Stock and T_ST1.
        db.exec("ALTER TABLE Buy RENAME COLUMN Price TO Cost");
        test::RecordingProgress progress;
        QVERIFY_THROWS_EXCEPTION(
            DbError, StockLedger::valueStock(db, StockLedger::allDates, "T_ST1", progress));
        QVERIFY(!progress.open);
        QCOMPARE(rows(db, "Stock"), QString("7|1|3"));
        QVERIFY(db.tableExists("T_ST1"));
        QCOMPARE(rows(db, "T_ST1"), QString());
        QVERIFY(!db.tableExists("T_PID1"));
    }
    // Saving moves Stock by rounded quantities, the rebuild sums exact ones: the
    // check took every saved purchase of 2.5 for a difference.
    void comparisonAllowsForRounding() {
        test::TestAccountSet set;
        Database& db = set.db();
        auto bought = [&](double num) {
            test::buy(db, 1, 7, num, 1, "2009-02-01");
            StockMoves::purchase(1, 7, num).apply(db);
        };
        bought(2.5);
        test::transfer(db, 1, 2, 7, 1.5, "2009-02-02"); // 2 out of 1, 2 into 2
        StockMoves::transfer(2, 1, 7, 1.5).apply(db);
        StockComparison c = compareStockWithRecords(db);
        QVERIFY(c.differences.isEmpty());
        QCOMPARE(c.roundedPairs, 2);
        // Exact after a rebuild; a save after it mixes the two (3 where 3.5 is exact).
        StockLedger::rebuildStock(db, StockLedger::allDates, "T_ST1");
        QCOMPARE(compareStockWithRecords(db).roundedPairs, 0);
        bought(2.5);
        StockLedger::addStock(db, 2, 7, 1); // beyond warehouse 2's allowance of 0.5
        c = compareStockWithRecords(db);
        QCOMPARE(c.roundedPairs, 1);
        QCOMPARE(c.differences.size(), 1);
        QCOMPARE(c.differences[0].sid, 2);
        QCOMPARE(c.differences[0].stored, 2.5);
    }
    // A product's value in the stock and change reports (TestReports) comes from
    // here too: that the split over warehouses and the value as of a past date are
    // right is seen there.
    void valuationSpreadsCentsOverWarehouses() {
        test::TestAccountSet set;
        Database& db = set.db();
        // Product 8: 10.00 over three warehouses of one unit each.
        test::buy(db, 1, 8, 3, 10.0 / 3, "2009-02-01");
        test::transfer(db, 1, 2, 8, 1, "2009-02-01");
        test::transfer(db, 1, 3, 8, 1, "2009-02-01");
        // Product 9: sold but never bought; it is worth nothing and the others go on.
        test::sell(db, 1, 9, 2, "2009-02-01");

        test::RecordingProgress progress;
        StockLedger::valueStock(db, QDate(2009, 2, 28), "T_ST2", progress);
        QCOMPARE(rows(db, "T_ST2"), QString("8|1|3.34;8|2|3.33;8|3|3.33;9|1|0"));
        QCOMPARE(test::queryRows(db, "SELECT PID, Num FROM T_PID1 ORDER BY PID"),
                 QString("8|3;9|-2"));
        QCOMPARE(progress.advanced, 2); // one step per product
        QVERIFY(!progress.open);
    }
};

QTEST_GUILESS_MAIN(TestStockLedger)
#include "TestStockLedger.moc"
