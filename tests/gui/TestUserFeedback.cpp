#include "core/accounts/Rights.h"
#include "core/data/OpenDatabases.h"
#include "core/grid/Grid.h"
#include "core/importexport/GridExport.h"
#include "core/support/Progress.h"
#include "gui/importexport/ExportCommand.h"
#include "gui/importexport/GridMenu.h"
#include "gui/mainwindow/MainCommands.h"
#include "gui/mainwindow/MainTabs.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/widgets/GridView.h"
#include "gui/widgets/PrintActions.h"
#include "gui/widgets/Printing.h"
#include "gui/widgets/ProgressWindow.h"
#include "support/MainWindowFixture.h"
#include "support/TestTools.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace tl;

// What the program tells and asks the operator: the status line after long
// work and after an export, the grid's export menu and its questions, the
// questions and messages of the buttons, the About box.
class TestUserFeedback : public QObject {
    Q_OBJECT
private slots:
    void progressGivesTheStatusLineBack();
    void exportAsksWritesAndTells();
    void exportNeedsTheTablesRight();
    void findAndAboutTell();
};

namespace {

struct Fixture : test::MainWindowFixture {
    explicit Fixture(const QString& rights = Rights::all()) {
        set.db().exec("INSERT INTO Product (Name) VALUES ('铅笔'), ('橡皮,大')");
        for (int i = 0; i < 3; ++i)
            set.db().exec("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat, Memo) "
                          "VALUES (?, 1, 1, 1, 1, 2.5, ?, 0, '2009-02-04', '')",
                          {1 + i % 2, i + 1});
        open(rights);
        window->resize(1000, 700);
        window->show();
    }
    QString status() const {
        return window->statusBar()->findChild<QLabel*>(QStringLiteral("LBL"))->text();
    }
    GridMenu* menu() const { return window->findChild<GridMenu*>(); }
    // A real right-click in the grid's body.
    void rightClick() const {
        QWidget* viewport = window->gridView()->bodyView()->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                                viewport->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(viewport, &event);
    }
};

} // namespace

void TestUserFeedback::progressGivesTheStatusLineBack() {
    Fixture f;
    const QString idle = f.status();
    QVERIFY(!idle.isEmpty());
    Progress& progress = f.window->progress();
    progress.show(QStringLiteral("统计采购记录..."), 4);
    progress.show(QStringLiteral("汇总出入库记录..."), 4); // a second stage of the same work
    QCOMPARE(f.status(), QString("汇总出入库记录..."));
    progress.close();
    QCOMPARE(f.status(), idle); // not left blank
    progress.close();
    QCOMPARE(f.status(), QString()); // a stray close still clears

    // 取消 shows only while work offers it; a press stops that work, and the
    // next work starts afresh.
    progress.offerCancel(true);
    progress.show(QStringLiteral("正在打印第 1 页，共 2 页"), 2);
    auto* cancel = static_cast<ProgressWindow&>(progress).window()->findChild<QPushButton*>(
        QStringLiteral("cmdCancel"));
    QVERIFY(cancel->isVisible() && !progress.cancelled());
    cancel->click();
    progress.offerCancel(false);
    QVERIFY(progress.cancelled() && cancel->isHidden());
    progress.offerCancel(true);
    QVERIFY(!progress.cancelled() && cancel->isEnabled());
    progress.offerCancel(false);
    progress.close();
}

void TestUserFeedback::exportAsksWritesAndTells() {
    Fixture f;
    QTemporaryDir dir;
    const QString idle = f.status();
    f.rightClick();
    QMenu* menu = f.menu()->menu();
    QVERIFY(menu->isVisible());
    QAction* output = menu->findChild<QAction*>("m_OutputMSF");
    QVERIFY(output && output->isEnabled());
    // Cancelled: nothing said. The dialog offers the three types, CSV first.
    output->trigger();
    QCOMPARE(f.status(), idle);
    QCOMPARE(f.dialogs.fileFilters,
             QStringList{"CSV (逗号分隔)(*.csv);;Excel 工作簿 (*.xlsx);;MS Excel文件  (*.xls)"});

    // A name without extension gets the chosen type's; the status line says where it went.
    f.dialogs.nextFileName(dir.filePath("sales"));
    output->trigger();
    menu->hide();
    const QString path = dir.filePath("sales.csv");
    QCOMPARE(f.status(), "表格已导出到：" + QDir::toNativeSeparators(path));
    f.window->tabs()->setCurrentIndex(PurchasesTab); // the news was about the page left
    QCOMPARE(f.status(), idle);
    f.window->tabs()->setCurrentIndex(SalesTab);
    // The grid as the CSV writer gives it (without the hidden key column and spec row).
    const Grid& grid = f.window->grid();
    QCOMPARE(test::readFile(path), test::csvBytes(grid, CsvEncoding::Gb18030));
    QVERIFY(f.dialogs.messages.isEmpty());

    // 导出PDF… suggests the view's name and tells where the file went.
    f.dialogs.nextFileName(dir.filePath("销售单"));
    f.rightClick();
    menu->findChild<QAction*>("m_PdfMSF")->trigger();
    menu->hide();
    QCOMPARE(f.dialogs.suggestedNames.last(), QString("销 售.pdf"));
    QVERIFY(test::readFile(dir.filePath("销售单.pdf")).startsWith("%PDF"));
    QCOMPARE(f.status(), "PDF已导出到：" + QDir::toNativeSeparators(dir.filePath("销售单.pdf")));
    // Ctrl+P prints through the print dialog and says so. The paper and an
    // orientation the list did not ask for (it is wide: landscape) are kept.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    const auto printAs = [&](const QPageLayout& layout) {
        f.dialogs.printTo(dir.filePath("printed.pdf"), layout);
        for (QAction* a : f.window->actions())
            if (a->shortcut() == QKeySequence::Print)
                a->trigger();
        return savedPageSetup();
    };
    const QMarginsF margins(10, 10, 10, 10);
    PageSetup kept = printAs(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Portrait, margins));
    QVERIFY(test::readFile(dir.filePath("printed.pdf")).startsWith("%PDF"));
    QCOMPARE(f.status(), QString("“销 售”已打印。"));
    QCOMPARE(kept.paper.id(), QPageSize::A5);
    QCOMPARE(kept.orientation, std::optional(QPageLayout::Portrait));
    kept = printAs(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, margins));
    QCOMPARE(kept.paper.id(), QPageSize::A4);
    QVERIFY(!kept.orientation);

    // The export command itself, on the same grid.
    test::ScriptedDialogs& dialogs = f.dialogs;
    const auto run = [&](const QString& name, const QString& filter = QString()) {
        dialogs.clear();
        dialogs.nextFileName(name);
        if (!filter.isEmpty())
            dialogs.nextFilter(filter);
        return exportGrid(grid, "x", Progress::silent());
    };

    dialogs.fileFilters.clear();
    QVERIFY(!exportGrid(Grid(), "x", Progress::silent()));
    QCOMPARE(dialogs.messages, QStringList{"表格中没有数据！"});
    QVERIFY(dialogs.fileFilters.isEmpty());

    // ".xls" and any other name but ".csv" receive an .xlsx workbook.
    QVERIFY(run(dir.filePath("old"), "MS Excel文件  (*.xls)"));
    QVERIFY(test::readFile(dir.filePath("old.xls")).startsWith("PK"));
    QVERIFY(run(dir.filePath("notes.txt")));
    QVERIFY(test::readFile(dir.filePath("notes.txt")).startsWith("PK"));
    QVERIFY(dialogs.questions.isEmpty() && dialogs.messages.isEmpty());

    // An existing file: No leaves it alone, Yes replaces it.
    test::writeFile(dir.filePath("mine.csv"), "mine");
    QVERIFY(!run(dir.filePath("mine.csv")));
    QCOMPARE(dialogs.questions, QStringList{"该文件已存在，是否覆盖？"});
    QCOMPARE(test::readFile(dir.filePath("mine.csv")), QByteArray("mine"));
    dialogs.answer(true);
    QVERIFY(run(dir.filePath("mine.csv")));
    QCOMPARE(test::readFile(dir.filePath("mine.csv")), test::csvBytes(grid, CsvEncoding::Gb18030));

    // The open account set is refused before the question (which would take
    // the one Yes the folder needs); failures are told.
    const struct {
        QString name;
        QString message;
    } refusals[] = {{f.set.path(), OpenDatabases::refusal()},
                    {dir.filePath("folder.csv"), "该文件无法覆盖，请确认该文件没被其他软件打开！"},
                    {dir.filePath("gone/new.csv"), "文件保存出错！"}};
    QDir(dir.path()).mkdir("folder.csv");
    dialogs.answer(true);
    for (const auto& r : refusals) {
        QVERIFY(!run(r.name));
        QCOMPARE(dialogs.messages, QStringList{r.message});
    }
}

void TestUserFeedback::exportNeedsTheTablesRight() {
    Fixture f(test::allRightsBut({"导出销售记录", "导出客户设置"}));
    QTemporaryDir dir;
    QAction* output = f.menu()->exportAction();
    // The print commands follow the export's rule, reason and all.
    const auto menuState = [&] {
        f.rightClick();
        QStringList states;
        for (QAction* a : QList<QAction*>{output} + f.menu()->printing()->actions())
            states << (a->isEnabled() ? QString("on") : "off " + a->toolTip());
        states.removeDuplicates();
        return states.join('|');
    };
    QCOMPARE(menuState(), QString("off 没有“导出销售记录”的权限"));
    // Even a command that reaches the menu anyway writes nothing; Ctrl+P says why.
    f.dialogs.nextFileName(dir.filePath("sales.csv"));
    f.menu()->exportAttached();
    f.menu()->printCurrent();
    QCOMPARE(f.dialogs.messages, QStringList{"没有“导出销售记录”的权限"});
    QVERIFY(f.dialogs.fileFilters.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath("sales.csv")));

    MainTabs& tabs = *f.window->tabs();
    tabs.setCurrentIndex(PurchasesTab);
    QCOMPARE(menuState(), QString("on"));
    tabs.setCurrentIndex(SettingsTab);
    tabs.settingsTabs()->setCurrentIndex(CustomersPage);
    QCOMPARE(menuState(), QString("off 没有“导出客户设置”的权限"));
    tabs.settingsTabs()->setCurrentIndex(ProductsPage);
    QCOMPARE(menuState(), QString("on"));
    f.menu()->menu()->hide();
}

void TestUserFeedback::findAndAboutTell() {
    Fixture f;
    MainTabs& tabs = *f.window->tabs();
    for (const char* text : {"铅笔", "无此物"}) {
        tabs.keywordBox(0)->setText(text);
        tabs.button({Bank::Trade, 4})->click();
    }
    QCOMPARE(f.dialogs.messages, QStringList{"没有找到含有字符串“无此物”的记录！"});

    // The About box names the version.
    f.dialogs.clear();
    f.window->findChild<QAction*>(QStringLiteral("mAbout"))->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    // A number after "版本 ", not a bare caption.
    QVERIFY(!f.dialogs.lastMessage().section("版本 ", 1).trimmed().isEmpty());
}

QTEST_MAIN(TestUserFeedback)
#include "TestUserFeedback.moc"
