#include "core/accounts/AppPaths.h"
#include "core/data/AccountSetFile.h"
#include "core/data/Schema.h"
#include "core/grid/Grid.h"
#include "core/printing/ShopSettings.h"
#include "core/support/Clock.h"
#include "gui/mainwindow/BackupDialog.h"
#include "gui/mainwindow/EntryOpeners.h"
#include "gui/mainwindow/MainCommands.h"
#include "gui/mainwindow/ShopSettingsDialog.h"
#include "gui/statistics/StatisticsCommands.h"
#include "gui/widgets/GridView.h"
#include "support/MainWindowFixture.h"
#include "support/TestTools.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace tl;
using Fixture = test::MainWindowFixture;

namespace {

// The main window on two warehouses, two products and one sale, for the
// statistics pages.
struct StatisticsFixture : test::MainWindowFixture {
    StatisticsFixture() {
        Database& db = set.db();
        db.exec("INSERT INTO Storage (SID, Name) VALUES (1, '一号库'), (2, '二号库')");
        db.exec("INSERT INTO Product (PID, CID, SName, Name) VALUES (1, 1, 'A1', '甲'), "
                "(2, 1, 'A2', '乙')");
        db.exec("INSERT INTO Customer (CID, Name) VALUES (1, '张三')");
        db.exec("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat) "
                "VALUES (1, 1, 1, 1, 1, 10, 2, 5, '2009-02-04')");
        open();
    }
    QPushButton* button(int index) const { return tabs().button({Bank::Trade, index}); }
    void page(int subTab) const {
        tabs().setCurrentIndex(StatisticsTab);
        tabs().statisticsTabs()->setCurrentIndex(subTab);
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void tabsAndButtonsFollowRights();
    void ownRightsChangeTakesEffectAtOnce();
    void gridKeysNeedTheirRights();
    void deleteAsksAndReloads();
    void presetsAndClosing();
    void backupReplacesOnlyAfterYes();
    void slipsAndTheirSettings();
    void stockPageAndItsHideBox();
    void tradePagesReadTheirOwnPickers();
};

void TestMainWindow::tabsAndButtonsFollowRights() {
    Fixture f;
    f.addSales(2);
    f.open(test::allRightsBut(
        {"操作销售记录", "操作盘点统计", "查看人员设置", "修改人员设置", "查看客户设置"}));
    MainWindow& w = *f.window;
    // Sales: the grid stays hidden, the buttons follow their own rights.
    w.show();
    auto* note = w.findChild<QLabel*>("noRightNote"); // says why the view is hidden
    QCOMPARE(w.tabs()->currentIndex(), int(SalesTab));
    QVERIFY(!w.grid().isVisible() && note->isVisible());
    QVERIFY(f.button(Bank::Trade, 2)->isEnabled());
    w.tabs()->setCurrentIndex(PurchasesTab);
    QVERIFY(w.grid().isVisible() && !note->isVisible());

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

    // A read-only account set: what would write is greyed out and says why.
    Fixture looked;
    looked.open(Rights::all(), Database::OpenMode::ReadOnly);
    for (auto [bank, index] : {std::pair{Bank::Trade, 2}, {Bank::Master, 1}, {Bank::Master, 24}}) {
        QVERIFY(!looked.button(bank, index)->isEnabled());
        QCOMPARE(looked.button(bank, index)->toolTip(), AccountSetFile::readOnlyNotice());
    }
    QVERIFY(looked.button(Bank::Trade, 4)->isEnabled()); // finding changes nothing
}

void TestMainWindow::ownRightsChangeTakesEffectAtOnce() {
    Fixture f;
    EntryOpeners::install(EntryKind::Sale, {});
    EntryOpeners::install(EntryKind::Purchase, [](QWidget*, Session&, const Database&,
                                                  std::optional<qint64>) { return false; });
    f.open();
    EntryOpeners::install(EntryKind::Purchase, {});
    MainWindow& w = *f.window;
    // Add and modify show only where an entry window is registered.
    QVERIFY(f.button(Bank::Trade, 0)->isHidden() && f.button(Bank::Trade, 1)->isHidden());
    QVERIFY(!f.button(Bank::Trade, 5)->isHidden() && !f.button(Bank::Trade, 6)->isHidden());
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
    bool greyed = false; // an editor greys out the main window while it is open
    QTimer::singleShot(0, &w, [&] {
        greyed = !w.isEnabled();
        w.session().rights = Rights::all();
        if (QWidget* editor = QApplication::activeModalWidget())
            editor->close();
    });
    f.button(Bank::Master, 24)->click();
    QVERIFY(greyed && w.isEnabled());
    QVERIFY(f.button(Bank::Trade, 0)->isEnabled() && backup->isEnabled());
}

void TestMainWindow::gridKeysNeedTheirRights() {
    QList<std::optional<qint64>> opened;
    EntryOpeners::install(EntryKind::Sale,
                          [&](QWidget*, Session&, const Database&, std::optional<qint64> key) {
                              opened << key;
                              return false;
                          });
    // Enter in the keyword box finds, a double click opens the record; each
    // only with its right.
    for (const QString missing : {"", "查找销售记录", "修改销售记录"}) {
        Fixture f;
        f.addSales(4);
        f.open(test::allRightsBut({missing}));
        Grid& grid = f.window->grid();
        QVERIFY(grid.isVisible());
        QLineEdit* box = f.window->tabs()->keywordBox(0);
        box->setText(QStringLiteral("备注2"));
        grid.setCurrent(2, 2);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(grid.row(), missing == "查找销售记录" ? 2 : 4);
        QVERIFY(f.dialogs.messages.isEmpty());
        opened.clear();
        grid.setCurrent(3, 2);
        emit f.window->gridView()->cellDoubleClicked(3, 2);
        QCOMPARE(opened, missing == "修改销售记录" ? QList<std::optional<qint64>>()
                                                   : QList<std::optional<qint64>>{2});
    }
    EntryOpeners::install(EntryKind::Sale, {});

    // Modify with nothing to modify says so.
    Fixture f;
    f.open();
    f.window->tabs()->setCurrentIndex(SettingsTab);
    f.window->tabs()->settingsTabs()->setCurrentIndex(RegionsPage);
    f.button(Bank::Master, 36)->click();
    QCOMPARE(f.dialogs.lastMessage(), QString("没有选择要修改的记录！"));
}

void TestMainWindow::deleteAsksAndReloads() {
    Fixture f;
    f.addSales(4);
    f.open();
    Grid& grid = f.window->grid();
    grid.setSelection(2, 1, 4, grid.cols() - 1);
    f.button(Bank::Trade, 2)->click(); // answered No: the sales stay
    QCOMPARE(f.set.db().value("SELECT count(*) FROM Sale").toInt(), 4);
    f.dialogs.answer(true);
    f.button(Bank::Trade, 2)->click();
    QCOMPARE(f.dialogs.questions, QStringList(2, "您确定要删除第1-3条记录？"));
    QCOMPARE(grid.rows(), 3); // reloaded: one record left
    QCOMPARE(f.set.db().value("SELECT count(*) FROM Sale").toInt(), 1);
}

void TestMainWindow::presetsAndClosing() {
    Clock::setToday(QDate(2008, 2, 14));
    Fixture f;
    f.open();
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

void TestMainWindow::backupReplacesOnlyAfterYes() {
    test::ScriptedDialogs dialogs;
    test::TestAccountSet set;
    BackupDialog dialog(set.db(), Progress::silent());
    // A dated name beside the account set is proposed; for one on a server,
    // its database's name in the documents folder.
    const QString proposed = QDir::fromNativeSeparators(dialog.pathBox()->text());
    const QString named = test::onServer() ? AppPaths::documentsFolder() + QUrl(set.path()).path()
                                           : set.folder() + "/test";
    QVERIFY2(proposed.startsWith(named + "-备份-") && proposed.endsWith(".lbk"),
             qPrintable(proposed));
    TL_FILE_ONLY(); // what follows writes copies of a file

    const QString target = test::writeFile(set.folder() + "/old.lbk", "keep me");
    dialog.pathBox()->setText(QDir::toNativeSeparators(target));
    QVERIFY(!dialog.backup()); // No: the file stays
    QCOMPARE(dialogs.questions.last(),
             "文件“" + QDir::toNativeSeparators(target) + "”已经存在，是否用新的备份替换它？");
    QVERIFY(!Schema::isAccountSetFile(target));
    dialogs.answer(true);
    QVERIFY(dialog.backup());
    QVERIFY(Schema::isAccountSetFile(target));
    QCOMPARE(dialogs.lastMessage(), "套帐已备份到：\n" + QDir::toNativeSeparators(target));

    // A failure is reported in Chinese, the dialog stays open.
    dialog.pathBox()->setText(set.folder() + "/no/such/folder/x.lbk");
    QVERIFY(!dialog.backup());
    QVERIFY(dialogs.lastMessage().startsWith("无法写入备份文件"));
    dialog.pathBox()->clear();
    QVERIFY(!dialog.backup());
    QCOMPARE(dialogs.lastMessage(), QString("请填写备份文件的名称！"));
}

// A slip of one customer's records takes a number when it is printed, not
// when the print is cancelled; several customers are refused. The settings
// dialog saves on Enter, forgets on Escape, and says why it cannot save.
void TestMainWindow::slipsAndTheirSettings() {
    Fixture f;
    f.addSales(3);
    f.set.db().exec("INSERT INTO Customer (CID, Name) VALUES (1, '张三'), (2, '李四')");
    f.set.db().exec("UPDATE Sale SET CID=2 WHERE ID=3");
    f.open();
    Grid& grid = f.window->grid();
    grid.setSelection(2, 1, 4, grid.cols() - 1);
    f.button(Bank::Trade, 31)->click();
    QCOMPARE(f.dialogs.lastMessage(),
             "所选的销售记录属于不同的客户：张三、李四。一张销售单只能开给一个客户，"
             "请只选择同一客户的记录。");
    grid.setSelection(2, 1, 3, grid.cols() - 1);
    f.button(Bank::Trade, 31)->click(); // the print dialog cancelled
    QTemporaryDir dir;
    f.dialogs.printTo(dir.path() + "/slip.pdf");
    f.window->findChild<QAction*>("mPrintSlip")->trigger(); // the grid's menu
    QVERIFY(QFileInfo(dir.path() + "/slip.pdf").size() > 0);
    QCOMPARE(SlipNumbers::next(f.set.db(), SlipKind::Sale), 2);

    ShopSettingsDialog dialog(f.set.db(), f.window->session());
    dialog.nameBox()->setText("好运文具店");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(ShopSettings::read(f.set.db()).name, QString());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    dialog.phoneBox()->setText(" 12345 ");
    dialog.show(); // the default button answers Enter only on screen
    QTest::keyClick(dialog.phoneBox(), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(ShopSettings::read(f.set.db()), ShopSettings({"好运文具店", "", "12345"}));
    const Session clerk = test::sessionWith({"操作销售记录"});
    ShopSettingsDialog denied(f.set.db(), clerk);
    QVERIFY(!denied.save());
    QCOMPARE(f.dialogs.lastMessage(), "没有“修改人员权限”的权限，不能修改单据设置。");
    f.open(test::allRightsBut({"修改人员权限"}));
    QVERIFY(!f.window->findChild<QAction*>("mShopSettings")->isEnabled());
}

void TestMainWindow::stockPageAndItsHideBox() {
    StatisticsFixture f;
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

void TestMainWindow::tradePagesReadTheirOwnPickers() {
    StatisticsFixture f;
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
    QCOMPARE(shownReportPeriod(*f.window),
             QString("2009-02-01 至 2009-02-28")); // heads its printout
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

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
