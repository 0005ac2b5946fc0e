#include "data/Rights.h"
#include "grid/Grid.h"
#include "importexport/GridMenu.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainTabs.h"
#include "mainwindow/MainWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"
#include "widgets/GridView.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QStringDecoder>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace tl;

class TestGridMenu : public QObject {
    Q_OBJECT
private slots:
    void rightClickExportsTheGridAsShown();
    void exportNeedsTheTablesRight();
};

namespace {

struct Fixture {
    test::TestAccountSet set;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    explicit Fixture(const QString& rights) {
        set.db().exec("INSERT INTO Product (Name) VALUES ('铅笔'), ('橡皮,大')");
        for (int i = 0; i < 3; ++i)
            set.db().exec("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat, Memo) "
                          "VALUES (?, 1, 1, 1, 1, 2.5, ?, 0, '2009-02-04', '')",
                          {1 + i % 2, i + 1});
        Session session{set.path(), QStringLiteral("admin"), QStringLiteral("1"), rights};
        window = std::make_unique<MainWindow>(session, Database::open(set.path()));
        window->resize(1000, 700);
        window->show();
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

void TestGridMenu::rightClickExportsTheGridAsShown() {
    Fixture f(Rights::all());
    QTemporaryDir dir;
    f.rightClick();
    QMenu* menu = f.menu()->menu();
    QVERIFY(menu->isVisible());
    QAction* output = menu->findChild<QAction*>("m_OutputMSF");
    QVERIFY(output && output->isEnabled());

    f.dialogs.nextFileName(dir.filePath("sales"));
    output->trigger();
    menu->hide();
    QFile file(dir.filePath("sales.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringDecoder gb("GB18030");
    const QStringList lines = QString(gb(file.readAll())).split("\r\n");
    // The caption row and three records, without the hidden key column and
    // spec row; an empty line after the last CR LF.
    QCOMPARE(lines.size(), 5);
    const Grid& grid = f.window->grid();
    QStringList captions;
    for (int c = 0; c < grid.cols(); ++c)
        if (grid.colWidth(c) > 0)
            captions << grid.text(1, c);
    QCOMPARE(lines[0], captions.join(','));
    QVERIFY(lines.join('\n').contains("\"橡皮,大\""));
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestGridMenu::exportNeedsTheTablesRight() {
    Fixture f(test::allRightsBut({"导出销售记录", "导出客户设置"}));
    QTemporaryDir dir;
    f.rightClick();
    QAction* output = f.menu()->exportAction();
    QVERIFY(!output->isEnabled());
    // Even a command that reaches the menu anyway writes nothing.
    f.dialogs.nextFileName(dir.filePath("sales.csv"));
    f.menu()->exportAttached();
    QVERIFY(f.dialogs.fileFilters.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath("sales.csv")));

    MainTabs& tabs = *f.window->tabs();
    tabs.setCurrentIndex(PurchasesTab);
    f.rightClick();
    QVERIFY(output->isEnabled());
    tabs.setCurrentIndex(SettingsTab);
    tabs.settingsTabs()->setCurrentIndex(CustomersPage);
    f.rightClick();
    QVERIFY(!output->isEnabled());
    tabs.settingsTabs()->setCurrentIndex(ProductsPage);
    f.rightClick();
    QVERIFY(output->isEnabled());
    f.menu()->menu()->hide();
}

QTEST_MAIN(TestGridMenu)
#include "TestGridMenu.moc"
