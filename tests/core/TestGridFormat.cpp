#include "grid/Grid.h"
#include "grid/GridFormat.h"
#include "grid/GridMerge.h"

#include <QTest>

using namespace tl;

class TestGridFormat : public QObject {
    Q_OBJECT
private slots:
    void colours();
    void rowsColumnsAndRanges();
    void mergedAreasStayInTheirPart();
};

void TestGridFormat::colours() {
    QCOMPARE(colorFromBgr(0x0000FF), QColor(255, 0, 0));
    QCOMPARE(colorFromBgr(0x91C6FF), QColor(255, 198, 145));
}

void TestGridFormat::rowsColumnsAndRanges() {
    Grid g;
    g.reset(5, 4, 1, 1);
    const QColor red(255, 0, 0);
    const QColor blue(0, 0, 255);
    setRowBackColor(g, 2, -5, 99, red); // clamped to the row
    for (int c = 0; c < 4; ++c)
        QCOMPARE(g.style(2, c).back, red);
    QVERIFY(!g.style(1, 0).back.isValid());

    setColumnBackColor(g, 3, blue); // fixed row included
    QCOMPARE(g.style(0, 3).back, blue);
    setColumnTextColor(g, 1, red); // from row 1 on
    QVERIFY(!g.style(0, 1).fore.isValid());
    QCOMPARE(g.style(4, 1).fore, red);

    setRangeTextColor(g, 3, 2, 1, 3, blue); // last before first: nothing
    QVERIFY(!g.style(2, 2).fore.isValid());
    setRangeBackColor(g, 3, 1, 4, 2, blue);
    QCOMPARE(g.style(4, 2).back, blue);
    QCOMPARE(g.style(2, 1).back, red);
    setRangeBackColor(g, 4, 3, 9, 9, red); // cells beyond the grid are ignored
    QCOMPARE(g.style(4, 3).back, red);

    setRowBold(g, 3);
    QVERIFY(g.style(3, 0).bold && g.style(3, 3).bold && !g.style(2, 3).bold);
    Grid empty;
    setRowBackColor(empty, 0, 0, 3, red); // no columns: nothing, no crash
}

void TestGridFormat::mergedAreasStayInTheirPart() {
    Grid g;
    g.reset(6, 5, 1, 2);
    g.setText(5, 0, "总计");
    g.setText(5, 1, "总计");
    g.setText(5, 2, "总计"); // across the fixed edge: joins no fixed cell
    g.setText(5, 3, "总计");
    g.setText(1, 0, "仓库");
    g.setText(2, 0, "仓库");
    g.setText(3, 0, "");
    g.setText(4, 0, "");
    g.setText(0, 0, "仓库"); // a caption does not join data rows
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

QTEST_GUILESS_MAIN(TestGridFormat)
#include "TestGridFormat.moc"
