#include "data/Clock.h"
#include "data/Database.h"
#include "data/Rights.h"
#include "grid/Grid.h"
#include "mainwindow/EntryOpeners.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainTabs.h"
#include "mainwindow/MainWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"
#include "widgets/GridView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tl;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void rightsRules();
    void tabsAndButtonsFollowRights();
    void commandsAndEntryButtonsShown();
    void ownRightsChangeTakesEffectAtOnce();
    void enterFindsOnlyWithTheFindRight();
    void deleteAsksAndReloads();
    void doubleClickNeedsTheModifyRight();
    void presetsAndClosing();
};

namespace {

struct Fixture {
    test::TestAccountSet set;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    void open(const QString& rights) {
        Session session{set.path(), QStringLiteral("admin"), QStringLiteral("1"), rights};
        window = std::make_unique<MainWindow>(session, Database::open(set.path()));
    }
    QPushButton* button(Bank bank, int index) const {
        return window->tabs()->button({bank, index});
    }
    void addSales(int count) {
        set.db().exec("INSERT INTO Product (Name) VALUES ('铅笔'), ('橡皮')");
        for (int i = 0; i < count; ++i)
            set.db().exec("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat, Memo) "
                          "VALUES (?, 1, 1, 1, 1, 2, ?, 0, '2009-02-04', ?)",
                          {1 + i % 2, i + 1, QStringLiteral("备注%1").arg(i)});
    }
};

} // namespace

void TestMainWindow::rightsRules() {
    const QString all = Rights::all();
    for (const Command& c : commands())
        QVERIFY2(commandAllowed(c, all), qPrintable(commandObjectName(c.id)));
    const Command& addSale = *findCommand({Bank::Trade, 0});
    QVERIFY(!commandAllowed(addSale, test::allRightsBut({"添加销售记录"})));
    QVERIFY(commandAllowed(addSale,
                           test::allRightsBut({"操作销售记录"}))); // buttons keep their own rights

    // A master table's buttons need its view right too; the imports only their own.
    const QString noCustomers = test::allRightsBut({"查看客户设置"});
    for (int i : {10, 11, 12, 14})
        QVERIFY(!commandAllowed(*findCommand({Bank::Master, i}), noCustomers));
    QVERIFY(commandAllowed(*findCommand({Bank::Master, 42}), noCustomers));
    QVERIFY(commandAllowed(*findCommand({Bank::Master, 5}), noCustomers));

    // Without the staff list the operator still edits his own record, nothing else.
    const QString noStaff = test::allRightsBut({"查看人员设置", "修改人员设置"});
    QVERIFY(commandAllowed(*findCommand({Bank::Master, 21}), noStaff));
    QVERIFY(
        !commandAllowed(*findCommand({Bank::Master, 21}), test::allRightsBut({"修改人员设置"})));
    QVERIFY(commandAllowed(*findCommand({Bank::Master, 20}), noStaff));
}

void TestMainWindow::tabsAndButtonsFollowRights() {
    Fixture f;
    f.addSales(2);
    f.open(test::allRightsBut(
        {"操作销售记录", "操作盘点统计", "查看人员设置", "修改人员设置", "查看客户设置"}));
    MainWindow& w = *f.window;
    // Sales: the grid stays hidden, the buttons follow their own rights.
    QCOMPARE(w.tabs()->currentIndex(), int(SalesTab));
    QVERIFY(!w.grid().isVisible());
    QVERIFY(f.button(Bank::Trade, 2)->isEnabled());
    w.tabs()->setCurrentIndex(PurchasesTab);
    QVERIFY(w.grid().isVisible());

    w.tabs()->setCurrentIndex(StatisticsTab);
    QVERIFY(!w.tabs()->statisticsTabs()->isEnabled());
    QVERIFY(!w.grid().isVisible());

    w.tabs()->setCurrentIndex(SettingsTab);
    w.tabs()->settingsTabs()->setCurrentIndex(CustomersPage);
    QVERIFY(!w.grid().isVisible());
    for (int i : {10, 11, 12, 14})
        QVERIFY(!f.button(Bank::Master, i)->isEnabled());
    // The staff list is always shown, with only the operator's own row.
    w.tabs()->settingsTabs()->setCurrentIndex(StaffPage);
    QVERIFY(w.grid().isVisible());
    QCOMPARE(w.grid().rows(), 2);
    QCOMPARE(w.grid().text(1, 1), QString("admin"));
    QVERIFY(f.button(Bank::Master, 21)->isEnabled());
    QVERIFY(f.button(Bank::Master, 24)->isEnabled());
}

void TestMainWindow::commandsAndEntryButtonsShown() {
    Fixture f;
    EntryOpeners::install(EntryKind::Sale, {});
    EntryOpeners::install(EntryKind::Purchase, [](QWidget*, Session&, const Database&,
                                                  std::optional<qint64>) { return false; });
    f.open(Rights::all());
    // Add and modify show only where an entry window is registered.
    QVERIFY(f.button(Bank::Trade, 0)->isHidden() && f.button(Bank::Trade, 1)->isHidden());
    QVERIFY(!f.button(Bank::Trade, 5)->isHidden() && !f.button(Bank::Trade, 6)->isHidden());
    QVERIFY(!f.button(Bank::Trade, 2)->isHidden());
    EntryOpeners::install(EntryKind::Purchase, {});
}

void TestMainWindow::ownRightsChangeTakesEffectAtOnce() {
    Fixture f;
    f.open(Rights::all());
    MainWindow& w = *f.window;
    QAction* backup = w.findChild<QAction*>("mBackup");
    QVERIFY(f.button(Bank::Trade, 0)->isEnabled() && backup->isEnabled());
    w.session().rights = test::allRightsBut({"添加销售记录", "备份套帐"});
    w.applyButtonRights();
    QVERIFY(!f.button(Bank::Trade, 0)->isEnabled() && !backup->isEnabled());

    // The rights editor path: whatever the editor does to the operator's own
    // rights shows as soon as it closes.
    w.tabs()->setCurrentIndex(SettingsTab);
    w.tabs()->settingsTabs()->setCurrentIndex(StaffPage);
    w.grid().setCurrent(1, 1);
    QTimer::singleShot(0, &w, [&] {
        w.session().rights = Rights::all();
        if (QWidget* editor = QApplication::activeModalWidget())
            editor->close();
    });
    f.button(Bank::Master, 24)->click();
    QVERIFY(f.button(Bank::Trade, 0)->isEnabled() && backup->isEnabled());
}

void TestMainWindow::enterFindsOnlyWithTheFindRight() {
    for (bool mayFind : {true, false}) {
        Fixture f;
        f.addSales(4);
        f.open(mayFind ? Rights::all() : test::allRightsBut({"查找销售记录"}));
        Grid& grid = f.window->grid();
        QVERIFY(grid.isVisible());
        QLineEdit* box = f.window->tabs()->keywordBox(0);
        box->setText(QStringLiteral("备注2"));
        grid.setCurrent(2, 2);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(grid.row(), mayFind ? 4 : 2);
        QVERIFY(f.dialogs.messages.isEmpty());
    }
}

void TestMainWindow::deleteAsksAndReloads() {
    Fixture f;
    f.addSales(4);
    f.open(Rights::all());
    Grid& grid = f.window->grid();
    grid.setSelection(2, 1, 4, grid.cols() - 1);
    f.dialogs.answer(true);
    f.button(Bank::Trade, 2)->click();
    QCOMPARE(f.dialogs.questions, QStringList{"您确定要删除第1-3条记录？"});
    QCOMPARE(grid.rows(), 3); // reloaded: one record left
    QCOMPARE(f.set.db().value("SELECT count(*) FROM Sale").toInt(), 1);
}

void TestMainWindow::doubleClickNeedsTheModifyRight() {
    QList<std::optional<qint64>> opened;
    EntryOpeners::install(EntryKind::Sale,
                          [&](QWidget*, Session&, const Database&, std::optional<qint64> key) {
                              opened << key;
                              return false;
                          });
    for (bool mayModify : {false, true}) {
        Fixture f;
        f.addSales(3);
        f.open(mayModify ? Rights::all() : test::allRightsBut({"修改销售记录"}));
        Grid& grid = f.window->grid();
        grid.setCurrent(3, 2);
        emit f.window->gridView()->cellDoubleClicked(3, 2);
        QCOMPARE(opened.size(), mayModify ? 1 : 0);
    }
    QCOMPARE(opened.value(0), std::optional<qint64>(2));
    EntryOpeners::install(EntryKind::Sale, {});

    // Modify with nothing to modify says so.
    Fixture f;
    f.open(Rights::all());
    f.window->tabs()->setCurrentIndex(SettingsTab);
    f.window->tabs()->settingsTabs()->setCurrentIndex(RegionsPage);
    f.button(Bank::Master, 36)->click();
    QCOMPARE(f.dialogs.lastMessage(), QString("没有选择要修改的记录！"));
}

void TestMainWindow::presetsAndClosing() {
    Clock::setToday(QDate(2008, 2, 14));
    Fixture f;
    f.open(Rights::all());
    auto date = [&](int i) { return f.window->tabs()->datePicker(i)->date(); };
    QCOMPARE(date(0), QDate(2008, 2, 1));
    QCOMPARE(date(5), QDate(2008, 2, 29));
    QCOMPARE(date(6), QDate(2008, 1, 1));
    QCOMPARE(date(11), QDate(2008, 12, 31));
    Clock::setToday(QDate());

    f.set.db().exec("CREATE TABLE T_Report (x)");
    f.window->close();
    QVERIFY(!f.set.db().tableExists("T_Report"));
    QVERIFY(f.set.db().tableExists("Sale"));
}

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
