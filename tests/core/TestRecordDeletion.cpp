#include "core/transactions/RecordDeletion.h"
#include "core/transactions/StockLedger.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

using namespace tl;

class TestRecordDeletion : public QObject {
    Q_OBJECT
private slots:
    void deletingRecordsTakesBackTheirStockOrNothing() {
        test::TestAccountSet set;
        Database& db = set.db();
        StockLedger::addStock(db, 1, 7, 10);
        const qint64 sale = test::insertSale(db, 1, 7, 5);
        const qint64 half = test::insertSale(db, 1, 7, 2.5); // took 2 from the ledger
        const qint64 buy = test::buy(db, 2, 7, 3.5, 5, "2009-02-04");
        const qint64 transfer = test::transfer(db, 1, 2, 7, 3, "2009-02-05");
        StockLedger::addStock(db, 2, 7, 4); // the purchase of 3.5 put in 4

        QCOMPARE(deleteRecords(db, "Sale", "ID", {sale, 999, half}), 2);
        QCOMPARE(StockLedger::stockQty(db, 1, 7), 17);
        QCOMPARE(db.value("SELECT count(*) FROM Sale").toInt(), 0);

        QCOMPARE(deleteRecords(db, "Buy", "ID", {buy}), 1);
        QCOMPARE(StockLedger::stockQty(db, 2, 7), 0);

        // A transfer of 3 from 1 to 2: deleting it lowers 2 and raises 1.
        QCOMPARE(deleteRecords(db, "Adjust", "ID", {transfer, transfer}), 1);
        QCOMPARE(StockLedger::stockQty(db, 2, 7), -3);
        QCOMPARE(StockLedger::stockQty(db, 1, 7), 20);
        QCOMPARE(deleteRecords(db, "Adjust", "ID", {transfer}), 0);
        QCOMPARE(deleteRecords(db, "Sale", "ID", {}), 0);

        // Master rows go alone: their records and the stock stay.
        db.exec("INSERT INTO Storage (Name) VALUES ('一号库'), ('二号库')");
        StockLedger::addStock(db, 1, 8, 5);
        test::insertSale(db, 1, 8, 1);
        QCOMPARE(deleteRecords(db, "Storage", "SID", {1, 5}), 1);
        QCOMPARE(test::queryRows(db, "SELECT Name FROM Storage"), QString("二号库"));
        QCOMPARE(StockLedger::stockQty(db, 1, 8), 5);
        db.exec("INSERT INTO Staff (Name, \"Right\") VALUES ('小王', ?)", {Rights::all()});
        QCOMPARE(deleteRecords(db, "Staff", "UID", {1}), 1);

        // Only the record and master tables by their keys, named exactly.
        QVERIFY_THROWS_EXCEPTION(DbError, deleteRecords(db, "Stock", "ID", {1}));
        QVERIFY_THROWS_EXCEPTION(DbError, deleteRecords(db, "Sale", "PID", {8}));
        QVERIFY_THROWS_EXCEPTION(DbError, deleteRecords(db, "sale", "ID", {1}));
        QVERIFY_THROWS_EXCEPTION(DbError, deleteRecords(db, "Sale;DROP TABLE Buy", "ID", {1}));
        QCOMPARE(db.value("SELECT count(*) FROM Sale").toInt(), 1);

        const qint64 a = test::insertSale(db, 1, 9, 2);
        const qint64 b = test::insertSale(db, 1, 9, 3);
        StockLedger::addStock(db, 1, 9, -5);
        // The second deletion fails after the first went through and after its
        // own stock movement: nothing of either may stay.
        test::refuseWrites(db, "no_delete", "DELETE", "Sale", QString("OLD.ID=%1").arg(b));
        QVERIFY_THROWS_EXCEPTION(DbError, deleteRecords(db, "Sale", "ID", {a, b}));
        QCOMPARE(db.value("SELECT count(*) FROM Sale").toInt(), 3);
        QCOMPARE(StockLedger::stockQty(db, 1, 9), -5);
        test::allowWrites(db, "no_delete", "Sale");
        QCOMPARE(deleteRecords(db, "Sale", "ID", {b, a}), 2);
        QCOMPARE(StockLedger::stockQty(db, 1, 9), 0);
    }
};

QTEST_GUILESS_MAIN(TestRecordDeletion)
#include "TestRecordDeletion.moc"
