#include "grid/Grid.h"
#include "grid/GridFind.h"
#include "support/ScriptedDialogs.h"

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

} // namespace

class TestGridFind : public QObject {
    Q_OBJECT
private slots:
    void findsTheNextRowAndWraps();
    void caseAndEmptyKeyword();
    void notFoundAndUnsearchableGrids();
};

void TestGridFind::findsTheNextRowAndWraps() {
    test::ScriptedDialogs dialogs;
    Grid g;
    fill(g, {{"铅笔", ""}, {"橡皮", "  铅笔盒  "}, {"尺子", ""}, {"铅笔", "红"}});
    g.setCurrent(2, 2);
    QVERIFY(findInGrid(g, "铅笔"));
    // The whole row is selected and scrolled to the top.
    QVERIFY(g.row() == 3 && g.rowSel() == 3 && g.col() == 1 && g.colSel() == 3);
    QCOMPARE(g.topRow(), 3);
    QVERIFY(findInGrid(g, "铅笔"));
    QCOMPARE(g.row(), 5);
    QVERIFY(findInGrid(g, "铅笔")); // wraps to the top
    QCOMPARE(g.row(), 2);

    // Only the current row holds the text: found after a full round.
    g.setCurrent(4, 2);
    QVERIFY(findInGrid(g, "尺"));
    QCOMPARE(g.row(), 4);
    // The caption row is searched too; a current row above it starts there.
    g.setCurrent(0, 0);
    QVERIFY(findInGrid(g, "产品"));
    QCOMPARE(g.row(), 1);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestGridFind::caseAndEmptyKeyword() {
    test::ScriptedDialogs dialogs;
    Grid g;
    fill(g, {{"ABC", ""}, {"", ""}, {"", "x"}});
    g.setCurrent(2, 2);
    QVERIFY(!findInGrid(g, "abc"));
    QCOMPARE(dialogs.lastMessage(), QString("没有找到含有字符串“abc”的记录！"));
    QCOMPARE(g.row(), 2);
    // Every text holds the empty text, but an empty cell holds nothing.
    QVERIFY(findInGrid(g, ""));
    QCOMPARE(g.row(), 4);
    QVERIFY(findInGrid(g, ""));
    QCOMPARE(g.row(), 1);
    QCOMPARE(dialogs.messages.size(), 1);
}

void TestGridFind::notFoundAndUnsearchableGrids() {
    test::ScriptedDialogs dialogs;
    Grid g;
    fill(g, {{"铅笔", ""}});
    g.setCurrent(2, 2);
    QVERIFY(!findInGrid(g, "1"));   // only the serial column holds it
    QVERIFY(!findInGrid(g, "ABC")); // only the key column holds it
    QCOMPARE(dialogs.messages,
             QStringList({"没有找到含有字符串“1”的记录！", "没有找到含有字符串“ABC”的记录！"}));
    QCOMPARE(g.row(), 2);

    // A master list (one caption row) keeps names in column 1: they are found,
    // its keys in column 0 are not.
    Grid list;
    list.reset(1, 3, 1, 2);
    for (const char* name : {"现金", "农业银行", "建设银行"}) {
        const int r = list.addRow();
        list.setText(r, 0, QString::number(r));
        list.setText(r, 1, name);
        list.setText(r, 2, "账号");
    }
    list.setCurrent(1, 1);
    QVERIFY(findInGrid(list, "建设"));
    QCOMPARE(list.row(), 3);
    QVERIFY(!findInGrid(list, "3")); // only a key holds it

    dialogs.clear();
    g.setVisible(false);
    QVERIFY(!findInGrid(g, "铅笔"));
    g.setVisible(true);
    g.reset(1, 4, 1, 0);
    QVERIFY(!findInGrid(g, "")); // no second row
    g.reset(5, 2, 1, 0);
    QVERIFY(!findInGrid(g, "")); // two columns only
    QVERIFY(dialogs.messages.isEmpty());
}

QTEST_GUILESS_MAIN(TestGridFind)
#include "TestGridFind.moc"
