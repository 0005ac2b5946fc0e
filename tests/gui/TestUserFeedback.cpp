#include "data/Progress.h"
#include "data/Registry.h"
#include "data/Rights.h"
#include "importexport/GridMenu.h"
#include "login/NewDbWindow.h"
#include "login/StartWindow.h"
#include "mainwindow/MainWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestAccountSet.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using namespace tl;

// What the main window tells the operator: the status line after long work
// and after a save, the About box.
class TestUserFeedback : public QObject {
    Q_OBJECT
private slots:
    void progressGivesTheStatusLineBack();
    void exportSaysWhereTheFileWent();
    void aboutNamesTheVersion();
    void loginTakesEnterAfterNewSetIsCancelled();
};

namespace {

struct Fixture {
    test::TestAccountSet set;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    Fixture() {
        set.db().exec("INSERT INTO Product (Name) VALUES ('铅笔')");
        set.db().exec("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat, Memo) "
                      "VALUES (1, 1, 1, 1, 1, 2.5, 3, 0, '2009-02-04', '')");
        Session session{set.path(), QStringLiteral("admin"), QStringLiteral("1"), Rights::all()};
        window = std::make_unique<MainWindow>(session, Database::open(set.path()));
        window->resize(1000, 700);
        window->show();
    }
    QString status() const {
        return window->statusBar()->findChild<QLabel*>(QStringLiteral("LBL"))->text();
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
}

void TestUserFeedback::exportSaysWhereTheFileWent() {
    Fixture f;
    QTemporaryDir dir;
    const QString idle = f.status();
    GridMenu* menu = f.window->findChild<GridMenu*>();
    menu->exportAttached(); // cancelled: nothing said
    QCOMPARE(f.status(), idle);
    f.dialogs.nextFileName(dir.filePath("sales"));
    menu->exportAttached();
    QVERIFY(QFile::exists(dir.filePath("sales.csv")));
    QCOMPARE(f.status(), "表格已导出到：" + QDir::toNativeSeparators(dir.filePath("sales.csv")));
}

void TestUserFeedback::aboutNamesTheVersion() {
    Fixture f;
    auto* about = f.window->findChild<QAction*>(QStringLiteral("mAbout"));
    QVERIFY(about);
    about->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    const QString text = f.dialogs.lastMessage();
    QVERIFY(text.contains("版本 "));
    QVERIFY(!text.section("版本 ", 1).trimmed().isEmpty()); // a number, not a bare caption
}

void TestUserFeedback::loginTakesEnterAfterNewSetIsCancelled() {
    test::ScriptedDialogs dialogs;
    test::TestAccountSet set;
    Outcome outcome;
    Registry().add(QStringLiteral("甲"), set.path(), outcome);
    StartWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("CM0")), Qt::LeftButton);
    NewDbWindow* dlg = nullptr;
    for (NewDbWindow* d : w.findChildren<NewDbWindow*>())
        if (d->isVisible())
            dlg = d;
    QVERIFY(dlg);
    QTest::keyClick(dlg, Qt::Key_Escape);
    QVERIFY(!dlg->isVisible());
    // Enter goes on to log in, without a click to find the window first.
    QSignalSpy spy(&w, &StartWindow::loggedIn);
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
}

QTEST_MAIN(TestUserFeedback)
#include "TestUserFeedback.moc"
