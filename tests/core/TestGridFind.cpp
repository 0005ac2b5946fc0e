#include "core/grid/Grid.h"
#include "core/grid/GridFind.h"

#include <QTest>

using namespace tl;

namespace {

// A record grid shape: hidden column-spec row, caption row, key and serial
// columns, then the data texts in column 2 and 3.
void fill(Grid& g, const QList<QStringList>& data) {
    g.reset(2, 4, 2, 2);
    g.setText(1, 2, "产品名");
    g.setText(1, 3, "备注");
    for (const QStringList& d : data) {
        const int r = g.addRow();
        g.setText(r, 0, "ABC");                  // keys are never searched
        g.setText(r, 1, QString::number(r - 1)); // nor serial numbers
        g.setText(r, 2, d.value(0));
        g.setText(r, 3, d.value(1));
    }
}

QString notFound(const QString& text) {
    return "没有找到含有字符串“" + text + "”的记录！";
}

} // namespace

class TestGridFind : public QObject {
    Q_OBJECT
private slots:
    void findsTheNextRowWrapsOrSaysNotFound() {
        Grid g;
        fill(g, {{"铅笔", ""}, {"橡皮", "  铅笔盒  "}, {"尺子", "Abc"}, {"铅笔", "红"}, {"", ""}});
        g.setCurrent(2, 2);
        QVERIFY(findInGrid(g, "铅笔"));
        // The whole row is selected and scrolled to the top.
        QVERIFY(g.row() == 3 && g.rowSel() == 3 && g.col() == 1 && g.colSel() == 3);
        QCOMPARE(g.topRow(), 3);
        // From the current row on, wrapping round to the top (row 1 is the
        // caption row); only the current row holding it: found after a full round.
        // Every text holds the empty text, but an empty cell holds nothing.
        const struct {
            int from;
            const char* text;
            int found;
        } cases[] = {{3, "铅笔", 5}, {5, "铅笔", 2}, {4, "尺", 4}, {0, "产品", 1}, {5, "", 1}};
        for (const auto& c : cases) {
            g.setCurrent(c.from, 2);
            const Outcome found = findInGrid(g, c.text);
            QVERIFY2(found && found.message.isEmpty(), c.text);
            QCOMPARE(g.row(), c.found);
        }
        // Case matters; serial numbers and keys are not searched.
        for (const char* text : {"abc", "1", "ABC"}) {
            const Outcome found = findInGrid(g, text);
            QVERIFY(!found);
            QCOMPARE(found.message, notFound(text));
            QCOMPARE(g.row(), 1);
        }
    }
    void masterListsAndUnsearchableGrids() {
        // A master list (one caption row) keeps names in column 1: they are found,
        // its keys in column 0 are not.
        Grid list;
        list.reset(1, 3, 1, 2);
        for (const char* name : {"现金", "农业银行", "建设银行"}) {
            const int r = list.addRow();
            list.setText(r, 0, QString::number(r));
            list.setText(r, 1, name); // column 2 left empty
        }
        list.setCurrent(1, 1);
        QVERIFY(findInGrid(list, "建设"));
        QCOMPARE(list.row(), 3);
        QCOMPARE(findInGrid(list, "3").message, notFound("3"));

        // A hidden grid, one without a second row or with two columns only is
        // not searched, and nothing is to be said.
        Grid g, oneRow, twoColumns;
        fill(g, {{"铅笔", "Abc"}});
        g.setVisible(false);
        oneRow.reset(1, 4, 1, 0);
        twoColumns.reset(5, 2, 1, 0);
        for (Grid* grid : {&g, &oneRow, &twoColumns}) {
            const Outcome found = findInGrid(*grid, "");
            QVERIFY(!found && found.message.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestGridFind)
#include "TestGridFind.moc"
