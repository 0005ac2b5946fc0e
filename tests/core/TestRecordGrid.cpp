#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/grid/Grid.h"
#include "core/grid/GridFormat.h"
#include "core/grid/GridHeader.h"
#include "core/grid/GridMerge.h"
#include "core/grid/GridText.h"
#include "core/lists/ColumnSpec.h"
#include "core/lists/RecordGrid.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QTest>

using namespace tl;

namespace {

// 100 twips per character: widths in tests follow from text lengths.
int perChar(const QString& text) {
    return static_cast<int>(text.size()) * 100;
}

// The masters the record lists look up; returns the database for chaining.
Database& addMasters(Database& db) {
    db.exec("INSERT INTO Class (Class) VALUES ('文具')");
    db.exec("INSERT INTO Product (CID, SName, Name, Code, Price, Unit) VALUES (1, 'QB', ?, 'A1', "
            "2.5, '支')",
            {QString("O'Brien \"铅笔\"")});
    db.exec("INSERT INTO Product (CID, Name, Unit) VALUES (1, '橡皮', '块')");
    db.exec("INSERT INTO Customer (Name) VALUES ('甲公司'), ('乙公司')");
    db.exec("INSERT INTO Storage (Name) VALUES ('一号库'), ('二号库')");
    db.exec("INSERT INTO Vender (Name) VALUES ('供货商')");
    db.exec("INSERT INTO Account (Name) VALUES ('现金')");
    return db;
}

} // namespace

class TestRecordGrid : public QObject {
    Q_OBJECT
private slots:
    void layoutsNameRealColumns() {
        // Every column a layout reads must exist in its table, or the list would
        // come up empty.
        for (const RecordLayout* l :
             {&productLayout(), &saleLayout(), &purchaseLayout(), &transferLayout()}) {
            const TableDef* table = Schema::accountSetTable(l->table);
            QVERIFY(table);
            QCOMPARE(l->specs.size(), l->captions.size());
            for (const QString& text : l->specs) {
                const ColumnSpec s = ColumnSpec::parse(text);
                QVERIFY2(s.kind != ColumnSpec::Kind::Broken, qPrintable(text));
                if (s.kind == ColumnSpec::Kind::Field || s.kind == ColumnSpec::Kind::Lookup)
                    QVERIFY2(table->column(s.name), qPrintable(text));
                if (s.kind == ColumnSpec::Kind::Lookup) {
                    const TableDef* other = Schema::accountSetTable(s.table);
                    QVERIFY2(other && other->column(s.key) && other->column(s.display),
                             qPrintable(text));
                }
            }
        }
        for (const char* bad :
             {"PID:Product", "Price; DROP TABLE Sale", "Price' AS x", "Price AS a\"b"})
            QVERIFY2(ColumnSpec::parse(bad).kind == ColumnSpec::Kind::Broken, bad);
    }
    void loadShowsNamesDatesMoneyAndGaps() {
        test::TestAccountSet set;
        Database& db = addMasters(set.db());
        db.exec("INSERT INTO Staff (Name) VALUES ('小王')");
        const QVariant uid = db.value("SELECT UID FROM Staff WHERE Name='小王'");
        db.exec("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat, Memo) VALUES "
                "(1, 2, 1, 1, ?, 1234567.5, 2, 1000, '2009-02-04', '加急'), "
                "(2, 1, 2, 1, ?, 0.5, 3, 0, '2010-11-30 09:15:00', NULL)",
                {uid, uid});
        Grid g;
        loadSaleGrid(g, db, perChar);
        QCOMPARE(g.rows(), 4);
        QCOMPARE(test::rowText(g, 2),
                 QString("1|1|O'Brien \"铅笔\"|乙公司|一号库|现金|1,234,567.50|"
                         "2.00|支|2,469,135.00|1,000.00|2009.02.04|小王|加急"));
        QCOMPARE(test::rowText(g, 3),
                 QString("2|2|橡皮|甲公司|二号库|现金|0.50|3.00|块|1.50|0.00|2010.11.30|小王|"));

        // Purchases and transfers show their doubles in money form too.
        db.exec("INSERT INTO Buy (PID, VID, AID, SID, Price, Num, Pay, Dat) VALUES "
                "(1, 1, 1, 2, 3, 4, -1234, '2009-02-04')");
        loadPurchaseGrid(g, db, perChar);
        // Column 1 counts the rows although its caption is empty.
        QCOMPARE(
            test::rowText(g, 2),
            QString(
                "1|1|O'Brien \"铅笔\"|供货商|现金|二号库|3.00|4.00|12.00|-1,234.00|2009.02.04|"));

        // A deleted product and a missing warehouse leave their cells empty.
        db.exec("DELETE FROM Product WHERE PID=1");
        db.exec("UPDATE Sale SET SID=NULL WHERE ID=2");
        loadSaleGrid(g, db, perChar);
        QCOMPARE(g.text(2, 2), QString()); // the deleted product
        QCOMPARE(g.text(2, 8), QString()); // and its unit
        QCOMPARE(g.text(3, 2), QString("橡皮"));
        QCOMPARE(g.text(3, 4), QString()); // no warehouse at all

        // A column the table lacks and a table that does not exist leave only
        // their own cells empty; a key stored as text still finds its row.
        db.exec("UPDATE Sale SET CID='1' WHERE ID=1");
        setupRecordGrid(g, {"ID", "", "NoSuch", "CID:NoTable:CID:Name", "CID:Customer:CID:Name"},
                        {"记录号", "序号", "甲", "乙", "丙"}, "Sale");
        loadRecordGrid(g, db, perChar);
        QCOMPARE(test::rowText(g, 2), QString("1|1|||甲公司"));
        QCOMPARE(test::rowText(g, 3), QString("2|2|||甲公司"));
    }
    void emptyTableKeepsWidths() {
        test::TestAccountSet set;
        Grid g;
        setupRecordGrid(g, saleLayout());
        g.setColWidth(3, 703);
        setupRecordGrid(g, purchaseLayout()); // widths survive a new layout
        g.setVisible(false);
        loadRecordGrid(g, set.db(), perChar);
        QCOMPARE(g.rows(), 2);
        QVERIFY(g.isVisible());
        QCOMPARE(g.rowHeight(0), 0); // the column-spec row stays hidden
        QCOMPARE(g.colWidth(3), 703);

        // Lists of different lengths change nothing.
        setupRecordGrid(g, {"ID", "Name"}, {"记录号"}, "Sale");
        QCOMPARE(g.tag(), QString("Buy"));

        // Without a table name nothing is read and nothing changes.
        g.setTag(QString());
        g.setVisible(false);
        loadRecordGrid(g, set.db(), perChar);
        QVERIFY(!g.isVisible());
    }
    void moneyDateAndColourTexts() {
        // No "-0.00", rounding that carries into a new group, no exponent.
        QStringList money;
        for (double v : {-0.001, 999.999, 123456.78, -1234.0, 0.125, 12345678901234567.0})
            money << groupedMoney(v);
        QCOMPARE(money.join(' '),
                 QString("0.00 1,000.00 123,456.78 -1,234.00 0.13 12,345,678,901,234,568.00"));
        QCOMPARE(gridDate("2009-02-04 23:59:59"), QString("2009.02.04"));
        QCOMPARE(gridDate("2009-02-0x"), QString("2009-02-0x")); // not a date: as stored
        // Stored colours are blue-green-red.
        QCOMPARE(colorFromBgr(0x0000FF), QColor(255, 0, 0));
        QCOMPARE(colorFromBgr(0x91C6FF), QColor(255, 198, 145));
    }
    void sortMarkersAndSerials() {
        test::TestAccountSet set;
        Database& db = addMasters(set.db());
        for (const auto& [pid, price] : {std::pair{1, 30.0}, {2, 10.0}, {1, 20.0}})
            db.exec("INSERT INTO Sale (PID, CID, Price, Num, Pay, Dat) VALUES (?, 1, ?, 1, 0, "
                    "'2009-01-01')",
                    {pid, price});
        Grid g;
        loadSaleGrid(g, db, perChar);
        sortByColumn(g, 6);
        QCOMPARE(g.text(1, 6), QString("价格△"));
        QCOMPARE(test::columnTexts(g, 6), QStringList({"10.00", "20.00", "30.00"}));
        QCOMPARE(test::columnTexts(g, 0), QStringList({"2", "3", "1"})); // whole rows move
        QCOMPARE(test::columnTexts(g, 1), QStringList({"1", "2", "3"}));
        sortByColumn(g, 6);
        QCOMPARE(g.text(1, 6), QString("价格▽"));

        // Another column takes the marker; a reload drops it.
        sortByColumn(g, 0); // the key column is fixed: sorted, but keeps no other's marker
        sortByColumn(g, 2);
        QCOMPARE(g.text(1, 6), QString("价格"));
        QCOMPARE(g.text(1, 2), QString("产品名△"));
        loadSaleGrid(g, db, perChar);
        QCOMPARE(g.text(1, 2), QString("产品名"));
        QCOMPARE(test::columnTexts(g, 0), QStringList({"1", "2", "3"}));
    }
    void sortComparesNumbersAsNumbers() {
        Grid g;
        g.reset(2, 3, 2, 2);
        g.setText(1, 2, "值");
        for (const char* t : {"1,000.00", "9.50", "-2", "abc", "", "ABD", "10", "2009.02.04"}) {
            const int r = g.addRow();
            g.setText(r, 0, t);
            g.setText(r, 2, t);
        }
        sortByColumn(g, 2);
        QCOMPARE(test::columnTexts(g, 2),
                 QStringList({"-2", "9.50", "10", "1,000.00", "", "2009.02.04", "abc", "ABD"}));
        QCOMPARE(test::columnTexts(g, 0), test::columnTexts(g, 2));

        // A master list (one caption row) keeps its names in column 1: they move
        // with their rows and are not replaced by serial numbers.
        Grid list;
        list.reset(1, 3, 1, 2);
        for (const QString row : {"1|乙|300", "2|甲|100", "3|丙|200"}) {
            const int r = list.addRow();
            for (int c = 0; c < 3; ++c)
                list.setText(r, c, row.section('|', c, c));
        }
        sortByColumn(list, 2);
        QCOMPARE(test::columnTexts(list, 1), QStringList({"甲", "丙", "乙"}));
        QCOMPARE(list.text(1, 0), QString("2"));
    }
    void headerClickFitsOrSorts() {
        Grid g;
        g.reset(2, 5, 2, 2);
        g.setRowHeight(0, 0);
        for (int c = 0; c < 5; ++c) {
            g.setColWidth(c, 1000);
            g.setText(1, c, QString("C%1").arg(c));
        }
        for (const char* t : {"b", "a", "c"}) {
            const int r = g.addRow();
            for (int c = 2; c < 5; ++c)
                g.setText(r, c, QString(t) + QString::number(c));
        }
        const int captionBottom = g.rowHeight(1); // row 0 is hidden

        gridHeaderClick(g, 2500, captionBottom, perChar); // below the captions: nothing
        QCOMPARE(g.text(1, 2), QString("C2"));
        QCOMPARE(g.colWidth(0), 1000);

        gridHeaderClick(g, 2500, captionBottom - 1, perChar); // third column
        QCOMPARE(g.text(1, 2), QString("C2△"));
        QCOMPARE(test::columnTexts(g, 2), QStringList({"a2", "b2", "c2"}));

        g.setViewPosition(2, 3); // scrolled: the first column on screen is 3
        gridHeaderClick(g, 2000 + 999, 10, perChar);
        QCOMPARE(g.text(1, 3), QString("C3△"));
        QCOMPARE(g.text(1, 2), QString("C2"));
        gridHeaderClick(g, 2000 + 1000, 10, perChar);
        QCOMPARE(g.text(1, 4), QString("C4△"));

        gridHeaderClick(g, 2000, 10, perChar); // the edge of the fixed columns: fit
        QCOMPARE(g.text(1, 4), QString("C4△"));
        QCOMPARE(g.colWidth(0), 200 + 100);
    }
    void autoFitRules() {
        Grid g;
        g.reset(2, 4, 2, 2);
        g.setWidthTwips(20000);
        for (int c = 0; c < 4; ++c)
            g.setColWidth(c, 777);
        autoFitColumns(g, perChar); // no data rows: widths stay
        QCOMPARE(g.colWidth(0), 777);

        g.setText(0, 1, "a hidden column-spec row is not measured");
        g.setText(1, 0, "记录号");
        g.setText(1, 2, "名称");
        int r = g.addRow();
        g.setText(r, 0, "1");
        g.setText(r, 2, QString(120, 'x')); // wider than half the grid
        g.setText(r, 3, "很长很长的名字");
        r = g.addRow();
        g.setText(r, 3, "短");
        autoFitColumns(g, perChar);
        QCOMPARE(g.colWidth(0), 300 + 100);
        QCOMPARE(g.colWidth(1), 50); // empty throughout
        QCOMPARE(g.colWidth(2), 10000);
        QCOMPARE(g.colWidth(3), 20000 - 400 - 400 - 50 - 10000); // 800 would leave room

        // Narrow columns leave room: the last column takes it up to width - 400.
        g.setText(2, 2, "y");
        g.setText(2, 3, "y");
        g.setText(3, 3, "y");
        autoFitColumns(g, perChar);
        QCOMPARE(g.colWidth(0) + g.colWidth(1) + g.colWidth(2) + g.colWidth(3), 20000 - 400);
        QCOMPARE(g.colWidth(3), 20000 - 400 - 400 - 50 - 300);
    }
    void mergedAreasStayInTheirPart() {
        Grid g;
        g.reset(6, 5, 1, 2);
        for (int c = 0; c < 4; ++c)
            g.setText(5, c, "总计"); // columns 2 and 3 lie beyond the fixed edge: joined apart
        for (int r = 0; r < 3; ++r)
            g.setText(r, 0, "仓库"); // the caption in row 0 joins no data row; rows 3 and 4 empty
        g.setMergeRow(5, true);
        g.setMergeCol(0, true);
        QVERIFY(mergedAreas(g).isEmpty()); // merging off
        g.setMergeCells(true);
        const QList<QRect> areas = mergedAreas(g);
        QCOMPARE(areas.size(), 3);
        QVERIFY(areas.contains(QRect(0, 5, 2, 1)));
        QVERIFY(areas.contains(QRect(2, 5, 2, 1)));
        QVERIFY(areas.contains(QRect(0, 1, 1, 2))); // empty cells never join
    }
};

QTEST_GUILESS_MAIN(TestRecordGrid)
#include "TestRecordGrid.moc"
