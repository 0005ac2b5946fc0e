#include "grid/Grid.h"
#include "mainwindow/MainCommands.h"
#include "support/MainWindowFixture.h"
#include "widgets/GridView.h"

#include <QCheckBox>
#include <QTableView>
#include <QTest>

using namespace tl;

class TestStatisticsPages : public QObject {
    Q_OBJECT
private slots:
    void stockPageAndItsHideBox();
    void tradePagesReadTheirOwnPickers();
};

namespace {

struct Fixture : test::MainWindowFixture {
    Fixture() {
        Database& db = set.db();
        db.exec("INSERT INTO Storage (SID, Name) VALUES (1, '一号库'), (2, '二号库')");
        db.exec("INSERT INTO Product (PID, CID, SName, Name) VALUES (1, 1, 'A1', '甲'), "
                "(2, 1, 'A2', '乙')");
        db.exec("INSERT INTO Customer (CID, Name) VALUES (1, '张三')");
        db.exec("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat) "
                "VALUES (1, 1, 1, 1, 1, 10, 2, 5, '2009-02-04')");
    }
    QPushButton* button(int index) const { return tabs().button({Bank::Trade, index}); }
    void page(int subTab) const {
        tabs().setCurrentIndex(StatisticsTab);
        tabs().statisticsTabs()->setCurrentIndex(subTab);
    }
};

} // namespace

void TestStatisticsPages::stockPageAndItsHideBox() {
    Fixture f;
    f.open();
    f.page(0);
    Grid& grid = f.window->grid();
    QCheckBox* box = f.window->findChild<QCheckBox*>("CHK3_0");
    QVERIFY(box && !box->isHidden());
    QVERIFY(!grid.isVisible());
    box->setChecked(true); // no report on show: nothing to do
    QVERIFY(!grid.isVisible());

    // With the box ticked the report comes up with A2 (no stock) hidden.
    f.button(12)->click();
    QVERIFY(grid.isVisible());
    QCOMPARE(grid.rows(), 2 * 2 + 4);
    QCOMPARE(grid.text(2, 4), QString("-2"));
    QCOMPARE(grid.colWidth(5), 0);
    QCOMPARE(grid.rowHeight(4), 0); // the second warehouse holds nothing
    box->setChecked(false);
    QVERIFY(grid.colWidth(5) > 0 && grid.rowHeight(4) > 0);

    // The stock change reports read pickers 0 and 1.
    f.setDates(0, QDate(2009, 1, 1), QDate(2009, 2, 28));
    f.button(10)->click();
    QCOMPARE(grid.rows(), 3 * 2 + 5);
    QCOMPARE(grid.text(2, 3), QString("2009-01-01"));
    QCOMPARE(grid.text(4, 4), QString("-2"));
    f.button(11)->click();
    QCOMPARE(grid.text(4, 4), QString("-"));
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestStatisticsPages::tradePagesReadTheirOwnPickers() {
    Fixture f;
    f.open();
    Grid& grid = f.window->grid();
    const QDate first(2009, 2, 1), last(2009, 2, 28);

    f.page(1);
    f.setDates(2, first, last);
    f.setDates(4, first, last); // the purchase page's pickers do not matter here
    f.button(13)->click();
    QVERIFY(grid.isVisible());
    QCOMPARE(grid.text(1, 1), QString("甲"));
    QCOMPARE(grid.text(1, 5), QString("15.00"));

    // No purchase at all: the purchase message, then the empty grid.
    f.page(2);
    f.setDates(4, first, last);
    f.button(14)->click();
    QCOMPARE(f.dialogs.messages, QStringList{"您选择的时间段内没有采购记录！"});
    QVERIFY(grid.isVisible());
    QCOMPARE(grid.rows(), 2);

    f.page(3);
    f.setDates(6, first, last);
    f.button(15)->click();
    QCOMPARE(grid.text(1, 3), QString("张三"));
    QCOMPARE(grid.text(2, 3), QString("15.00"));
    // No row drawn selected over the report's colours; the first arrow key
    // goes to the first data cell.
    QTableView* body = f.window->gridView()->bodyView();
    QVERIFY(!body->selectionModel()->hasSelection() && !body->currentIndex().isValid());
    QTest::keyClick(body, Qt::Key_Down);
    QCOMPARE(body->currentIndex(), body->model()->index(2, 3));
    // An empty period: the empty grid and no message.
    f.setDates(6, last.addDays(1), last.addDays(30));
    f.button(15)->click();
    QCOMPARE(grid.rows(), 2);
    QCOMPARE(f.dialogs.messages.size(), 1);

    f.page(4);
    f.setDates(8, first, last);
    f.button(16)->click();
    QCOMPARE(grid.rows(), 2);
    QVERIFY(grid.isVisible());
}

QTEST_MAIN(TestStatisticsPages)
#include "TestStatisticsPages.moc"
