#include "core/grid/Grid.h"
#include "core/grid/GridDelete.h"
#include "core/grid/GridSelection.h"

#include <QTest>

using namespace tl;

class TestGridDelete : public QObject {
    Q_OBJECT
private slots:
    void selectedRecordsTheirKeysAndQuestion() {
        // A record grid as the sales tab shows it: hidden spec row, caption row,
        // then records 1 to 5 (keys 11 to 15 in column 0) from row 2; a master
        // list has one caption row and its records from row 1.
        Grid records;
        records.reset(7, 4, 2, 2);
        records.setText(1, 0, "记录号");
        for (int r = 2; r < 7; ++r)
            records.setText(r, 0, QString::number(9 + r));
        records.setText(3, 0, " 12 "); // spaces around a key do not matter
        records.setText(5, 0, "x");    // a row without a record
        Grid list;
        list.reset(4, 3, 1, 2);
        for (int r = 1; r < 4; ++r)
            list.setText(r, 0, QString::number(r));
        Grid emptyList;
        emptyList.reset(2, 3, 1, 2);

        const struct {
            Grid* grid;
            int fromRow, toRow;
            QList<qint64> keys; // the last row first; none: nothing to ask
            QString question;
        } cases[] = {
            {&records, 2, 4, {13, 12, 11}, "您确定要删除第1-3条记录？"},
            {&records, 6, 4, {15, 13}, "您确定要删除第3-5条记录？"}, // upwards, row 5 skipped
            {&records, 0, 3, {12, 11}, "您确定要删除第1-2条记录？"}, // captions left out
            {&records, 0, 1, {}, {}},
            {&records, 5, 5, {}, {}},
            {&list, 1, 2, {2, 1}, "您确定要删除第1-2条记录？"},
            {&emptyList, 1, 1, {}, {}},
        };
        for (const auto& c : cases) {
            c.grid->setSelection(c.fromRow, 1, c.toRow, 2);
            const auto rows = selectedRecords(*c.grid);
            const QByteArray where =
                QByteArray::number(c.fromRow) + "-" + QByteArray::number(c.toRow);
            QVERIFY2(bool(rows) == !c.keys.isEmpty(), where);
            if (rows) {
                QCOMPARE(rows->keys, c.keys);
                QCOMPARE(rows->question, c.question);
            }
        }
        // A selection that reaches into the captions keeps only its data rows.
        records.setSelection(4, 0, 0, 0);
        const auto span = selectedDataRows(records);
        QVERIFY(span && span->first == 2 && span->last == 4);
        QVERIFY(!rowKey(records, 1) && !rowKey(records, 5) &&
                !rowKey(records, 7)); // caption, text, beyond
        QVERIFY(hasRecords(records));
        for (int r : {2, 3, 4, 6})
            records.setText(r, 0, "");
        QVERIFY(!hasRecords(records)); // only "x" and empty cells left
    }
};

QTEST_GUILESS_MAIN(TestGridDelete)
#include "TestGridDelete.moc"
