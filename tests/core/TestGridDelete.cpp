#include "data/Database.h"
#include "grid/Grid.h"
#include "grid/GridDelete.h"
#include "grid/GridSelection.h"
#include "support/ScriptedDialogs.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"
#include "transactions/StockLedger.h"

#include <QTest>

using namespace tl;

class TestGridDelete : public QObject {
    Q_OBJECT
private slots:
    void recordGridAsksSerialNumbersAndDeletes();
    void headerOnlyGridsAskNothing();
    void masterListDeletesItsRows();
    void selectionRules();
};

namespace {

// A record grid as the sales tab shows it: hidden spec row, caption row, then
// one row per record with the key in column 0 and the serial in column 1.
void fillRecordGrid(Grid& grid, const QList<qint64>& keys) {
    grid.reset(2 + keys.size(), 4, 2, 2);
    grid.setText(1, 0, "记录号");
    grid.setText(1, 1, "");
    for (int i = 0; i < keys.size(); ++i) {
        grid.setText(2 + i, 0, QString::number(keys[i]));
        grid.setText(2 + i, 1, QString::number(i + 1));
    }
}

int saleCount(Database& db) {
    return db.value("SELECT count(*) FROM Sale").toInt();
}

} // namespace

void TestGridDelete::recordGridAsksSerialNumbersAndDeletes() {
    test::TestAccountSet set;
    test::ScriptedDialogs dialogs;
    Database& db = set.db();
    QList<qint64> keys;
    for (double num : {1.0, 5.0, 2.0, 4.0, 8.0})
        keys << test::insertSale(db, 1, 7, num);
    Grid grid;
    fillRecordGrid(grid, keys);

    // Rows 2 to 4 are records 1 to 3; No keeps everything, Yes deletes and
    // leaves the grid to the caller.
    grid.setSelection(2, 1, 4, 3);
    QVERIFY(!deleteRows(grid, db, "Sale", "ID"));
    QCOMPARE(saleCount(db), 5);
    dialogs.answer(true);
    QVERIFY(deleteRows(grid, db, "Sale", "ID"));
    QCOMPARE(dialogs.questions, QStringList(2, "您确定要删除第1-3条记录？"));
    QCOMPARE(saleCount(db), 2);
    QCOMPARE(db.value("SELECT group_concat(ID) FROM Sale").toString(),
             QString("%1,%2").arg(keys[3]).arg(keys[4]));
    QCOMPARE(StockLedger::stockQty(db, 1, 7), 8); // 1 + 5 + 2 went back to the warehouse
    QCOMPARE(grid.rows(), 7);

    // Selected upwards, the same numbers; rows whose record is gone are skipped.
    dialogs.clear();
    grid.setSelection(6, 1, 5, 1);
    dialogs.answer(true);
    QVERIFY(deleteRows(grid, db, "Sale", "ID"));
    QCOMPARE(dialogs.questions, QStringList{"您确定要删除第4-5条记录？"});
    QCOMPARE(saleCount(db), 0);
    dialogs.clear();
    grid.setSelection(2, 1, 3, 1);
    dialogs.answer(true);
    QVERIFY(!deleteRows(grid, db, "Sale", "ID")); // both already deleted
    QCOMPARE(saleCount(db), 0);
}

void TestGridDelete::headerOnlyGridsAskNothing() {
    test::TestAccountSet set;
    test::ScriptedDialogs dialogs;
    Database& db = set.db();
    test::insertSale(db, 1, 7, 5);
    Grid grid;
    fillRecordGrid(grid, {});
    for (int row : {0, 1}) {
        grid.setCurrent(row, 0);
        dialogs.answer(true);
        QVERIFY(!deleteRows(grid, db, "Sale", "ID"));
    }
    // An empty master list: the header and one empty row.
    grid.reset(2, 3, 1, 2);
    grid.setText(0, 0, "记录号");
    grid.setCurrent(1, 1);
    QVERIFY(!deleteRows(grid, db, "Sale", "ID"));
    QVERIFY(dialogs.questions.isEmpty());
    QCOMPARE(saleCount(db), 1);
}

void TestGridDelete::masterListDeletesItsRows() {
    test::TestAccountSet set;
    test::ScriptedDialogs dialogs;
    Database& db = set.db();
    db.exec("INSERT INTO Region (Region) VALUES ('华北'), ('华东'), ('华南')");
    Grid grid;
    grid.reset(4, 3, 1, 2);
    grid.setText(0, 0, "记录号");
    for (int r = 1; r <= 3; ++r)
        grid.setText(r, 0, QString::number(r));
    grid.setSelection(1, 0, 2, 2);
    dialogs.answer(true);
    QVERIFY(deleteRows(grid, db, "Region", "RID"));
    QCOMPARE(dialogs.questions, QStringList{"您确定要删除第1-2条记录？"});
    QCOMPARE(db.value("SELECT group_concat(Region) FROM Region").toString(), QString("华南"));
}

void TestGridDelete::selectionRules() {
    Grid grid;
    grid.reset(5, 3, 2, 2);
    grid.setText(1, 0, "记录号");
    grid.setText(2, 0, " 12 ");
    grid.setText(3, 0, "x");
    // A selection that reaches into the captions keeps only its data rows.
    grid.setSelection(4, 0, 0, 0);
    const auto span = selectedDataRows(grid);
    QVERIFY(span && span->first == 2 && span->last == 4);
    QCOMPARE(rowKey(grid, 2), std::optional<qint64>(12));
    QVERIFY(!rowKey(grid, 1) && !rowKey(grid, 3) && !rowKey(grid, 5)); // caption, text, beyond
    QVERIFY(hasRecords(grid));
    grid.setText(2, 0, "");
    QVERIFY(!hasRecords(grid));
}

QTEST_GUILESS_MAIN(TestGridDelete)
#include "TestGridDelete.moc"
