#include "core/accounts/AppPaths.h"
#include "core/accounts/Registry.h"
#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "gui/login/NewDbWindow.h"
#include "gui/login/StartWindow.h"
#include "gui/widgets/AppStyle.h"
#include "gui/widgets/GridView.h"
#include "support/ScriptedDialogs.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace tl;

namespace {
const QString kMissing = "该套帐的数据文件不存在，请检查数据文件是否被删除或移走。";
const QString kNotASet = "该文件已经存在，而且不是套账，无法设为套账！";

const auto button = [](QWidget* w, const char* name) { return w->findChild<QPushButton*>(name); };
const auto edit = [](QWidget* w, const char* name) { return w->findChild<QLineEdit*>(name); };
void enrol(const QString& name, const QString& path) {
    Outcome outcome;
    QVERIFY(Registry().add(name, path, outcome) > 0);
}
QStringList column(Grid& g, int col) {
    QStringList texts;
    for (int r = 1; r < g.rows(); ++r)
        texts << g.text(r, col);
    return texts;
}
// A server that asks for a password and refuses each one, speaking just
// enough of PostgreSQL's protocol (no encryption); keeps what it was sent.
struct PasswordServer {
    int listener = ::socket(AF_INET, SOCK_STREAM, 0), port = 0;
    QStringList received;
    std::thread thread;
    PasswordServer() {
        sockaddr_in a{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof a;
        ::bind(listener, reinterpret_cast<sockaddr*>(&a), size);
        ::listen(listener, 4);
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &size);
        port = ntohs(a.sin_port);
        thread = std::thread([this] {
            for (int c; (c = ::accept(listener, nullptr, nullptr)) >= 0; ::close(c)) {
                char in[512] = {};
                ::recv(c, in, sizeof in, 0);              // the start-up message
                ::send(c, "R\0\0\0\x08\0\0\0\x03", 9, 0); // the password in clear text
                if (::recv(c, in, sizeof in - 1, 0) > 5 && in[0] == 'p') {
                    received << QString::fromUtf8(in + 5);
                    static const char no[] = "E\0\0\0\x33"
                                             "SFATAL\0C28P01\0Mpassword authentication failed\0";
                    ::send(c, no, sizeof no, 0);
                }
            }
        });
    }
    ~PasswordServer() {
        ::shutdown(listener, SHUT_RDWR);
        thread.join();
        ::close(listener);
    }
};
} // namespace

class TestStartWindow : public QObject {
    Q_OBJECT
private slots:
    void emptyOrMissingRegistry();
    void rowsChooseAndEnterLogsIn();
    void checkReportsMissingFiles();
    void newAccountSets();
    void accountSetsOnServer();

private:
    NewDbWindow* openNewDb(StartWindow& w) {
        QTest::mouseClick(button(&w, "CM0"), Qt::LeftButton);
        // A closed one may still wait for its deferred delete.
        for (NewDbWindow* dlg : w.findChildren<NewDbWindow*>("NewDB")) {
            if (dlg->isVisible())
                return dlg;
        }
        return nullptr;
    }
};

void TestStartWindow::emptyOrMissingRegistry() {
    test::ScriptedDialogs dialogs;
    test::TestAccountSet set;
    {
        StartWindow w; // no registry at all
        QCOMPARE(dialogs.messages, QStringList{"数据库打开错误！"});
    }
    Outcome outcome;
    Registry().forget({Registry().add("x", "/x", outcome)}); // an empty registry
    dialogs.clear();
    StartWindow w;
    QCOMPARE(w.grid().rows(), 2);
    QCOMPARE(edit(&w, "PSD")->echoMode(), QLineEdit::Password);
    QVERIFY(dialogs.messages.isEmpty());
    QSignalSpy spy(&w, &StartWindow::loggedIn);
    QTest::mouseClick(button(&w, "CM1"), Qt::LeftButton);
    QCOMPARE(dialogs.messages, QStringList{kMissing});
    QCOMPARE(spy.count(), 0);
}

void TestStartWindow::rowsChooseAndEnterLogsIn() {
    test::ScriptedDialogs dialogs;
    test::TestAccountSet set;
    QFile::copy(set.path(), set.folder() + "/second.lbk");
    enrol("第一套", set.path());
    enrol("第二套", "./second.lbk");
    StartWindow w;
    w.show();
    QCOMPARE(column(w.grid(), 1), (QStringList{"第二套", "第一套"}));
    // The newest account set is chosen on opening.
    QCOMPARE(edit(&w, "T")->text(), QString("第二套"));
    QCOMPARE(w.currentPath(), set.folder() + "/second.lbk");

    // A click on a row chooses it.
    QTableView* body = w.findChild<GridView*>("MSF0")->bodyView();
    const QRect cell = body->visualRect(body->model()->index(2, 2));
    QTest::mouseClick(body->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(edit(&w, "T")->text(), QString("第一套"));
    QCOMPARE(w.currentPath(), set.path());

    // Escape leaves the window as it is; a wrong password keeps it open.
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(w.isVisible());
    QSignalSpy spy(&w, &StartWindow::loggedIn);
    QLineEdit* psd = edit(&w, "PSD");
    psd->setText("wrong");
    QTest::keyClick(psd, Qt::Key_Return);
    QCOMPARE(dialogs.messages, QStringList{"用户名或密码错，请重新输入！"});
    QCOMPARE(spy.count(), 0);
    QVERIFY(w.isVisible());

    // Enter in the password box logs in as the button does.
    edit(&w, "User")->setText("ADMIN");
    psd->setText("730281");
    QTest::keyClick(psd, Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
    const Session session = spy.at(0).at(0).value<Session>();
    QCOMPARE(session.operatorName, QString("admin"));
    QCOMPARE(session.databasePath, set.path());
    QVERIFY(!w.isVisible());
    auto db = w.takeDatabase();
    QVERIFY(db && db->path() == set.path());
}

void TestStartWindow::checkReportsMissingFiles() {
    test::ScriptedDialogs dialogs;
    test::TestAccountSet set;
    enrol("完好", set.path());
    enrol("丢失甲", set.folder() + "/a.lbk");
    enrol("丢失乙", "./b.lbk");
    StartWindow w;
    dialogs.answer(false); // keep 丢失甲
    dialogs.answer(true);  // forget 丢失乙
    QTest::mouseClick(button(&w, "CM3"), Qt::LeftButton);
    QCOMPARE(dialogs.questions.size(), 2);
    QCOMPARE(dialogs.messages, QStringList{"检测完成,共有2个套帐数据文件不存在！"});
    // The list is read again and the choice follows it.
    QCOMPARE(column(w.grid(), 1), (QStringList{"丢失甲", "完好"}));
    QCOMPARE(edit(&w, "T")->text(), QString("丢失甲"));
}

void TestStartWindow::newAccountSets() {
    TL_FILE_ONLY();
    test::ScriptedDialogs dialogs;
    test::TestAccountSet set;
    set.installTemplate();
    enrol("甲", set.path());
    enrol("乙", set.path());
    StartWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.selectRow(2);
    QCOMPARE(edit(&w, "T")->text(), QString("甲"));

    // Cancelled: nothing made, the choice stays.
    NewDbWindow* dlg = openNewDb(w);
    QVERIFY(dlg);
    edit(dlg, "T0")->setText("丙");
    edit(dlg, "T1")->setText(set.folder() + "/c.lbk");
    QTest::mouseClick(button(dlg, "CM1"), Qt::LeftButton);
    QVERIFY(!QFile::exists(set.folder() + "/c.lbk"));
    QCOMPARE(edit(&w, "T")->text(), QString("甲"));

    const QString text = test::writeFile(
        set.folder() + "/notes.txt",
        "notes that stay as they are, long enough to look like a database header\n");
    dlg = openNewDb(w);
    QVERIFY(dlg);
    edit(dlg, "T0")->setText("丁");
    edit(dlg, "T1")->setText(text);
    QTest::mouseClick(button(dlg, "CM0"), Qt::LeftButton);
    QCOMPARE(dialogs.messages, (QStringList{"数据库打开错误！", kNotASet}));
    QVERIFY(dlg->isVisible()); // the operator may correct the path

    // An existing account set is pointed to only after Yes.
    edit(dlg, "T1")->setText(set.path());
    dialogs.answer(false);
    QTest::mouseClick(button(dlg, "CM0"), Qt::LeftButton);
    QCOMPARE(dialogs.questions, QStringList{"该文件已经存在，是否把新建套账指向这个文件？"});
    QVERIFY(dlg->isVisible());
    dialogs.answer(true);
    QTest::mouseClick(button(dlg, "CM0"), Qt::LeftButton);
    QVERIFY(!dlg->isVisible());
    QCOMPARE(dialogs.messages.size(), 2);

    // A new file from the template becomes the first row and the choice.
    dlg = openNewDb(w);
    QVERIFY(dlg);
    const QString file = set.folder() + "/新公司.lbk";
    edit(dlg, "T0")->setText("新公司");
    dialogs.nextFileName(file);
    QTest::mouseClick(button(dlg, "CM2"), Qt::LeftButton);
    QCOMPARE(edit(dlg, "T1")->text(), file);
    QTest::mouseClick(button(dlg, "CM2"), Qt::LeftButton); // cancelled: keeps the name
    QCOMPARE(edit(dlg, "T1")->text(), file);
    QTest::mouseClick(button(dlg, "CM0"), Qt::LeftButton);
    QVERIFY(!dlg->isVisible());
    QVERIFY(Schema::isAccountSetFile(file));
    QCOMPARE(column(w.grid(), 1), (QStringList{"新公司", "丁", "乙", "甲"}));
    QCOMPARE(w.currentPath(), file);

    // Escape closes the dialog, and Enter then logs in without a click to
    // find the window first.
    dlg = openNewDb(w);
    QTest::keyClick(dlg, Qt::Key_Escape);
    QVERIFY(!dlg->isVisible());
    QSignalSpy spy(&w, &StartWindow::loggedIn);
    QVERIFY(QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
}

void TestStartWindow::accountSetsOnServer() {
    test::ScriptedDialogs dialogs;
    test::TestAccountSet set;
    NewDbWindow dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    // The address takes the place of the file box and its browse button, and
    // Tab goes from the choice straight to it.
    QLineEdit* address = edit(&dlg, "address");
    for (const char* where : {"whereNewOnServer", "whereOnServer"}) {
        auto* choice = dlg.findChild<QAbstractButton*>(where);
        choice->setFocus();
        QTest::keyClick(choice, Qt::Key_Space);
        QVERIFY(!edit(&dlg, "T1")->isVisible() && !button(&dlg, "CM2")->isVisible());
        QTest::keyClick(choice, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), address);
    }
    QCOMPARE(address->placeholderText(), QString("postgresql://用户名@服务器:5432/数据库名"));

    // A server that wants a password: each one typed goes to the server; each
    // refusal asks again with its answer until the operator cancels, which
    // shows nothing more and registers nothing.
    PasswordServer server;
    edit(&dlg, "T0")->setText("要密码");
    address->setText(QString("postgresql://tl@127.0.0.1:%1/shop?sslmode=disable&gssencmode=disable")
                         .arg(server.port));
    dialogs.nextPassword("第一个");
    dialogs.nextPassword("second");
    QTest::keyClick(address, Qt::Key_Return);
    QCOMPARE(server.received, (QStringList{"第一个", "second"}));
    const QString ask =
        "\n\n请输入用户 tl 在服务器 127.0.0.1 上的密码（只在本次运行中使用，不会保存）：";
    QCOMPARE(dialogs.passwordPrompts, (QStringList{"数据库服务器要求输入密码。" + ask,
                                                   "数据库服务器不接受这个用户名或密码。" + ask,
                                                   "数据库服务器不接受这个用户名或密码。" + ask}));
    QVERIFY(dialogs.messages.isEmpty() && dlg.isVisible());
    QVERIFY(!QFile::exists(Registry().path()));
}

QTEST_MAIN(TestStartWindow)
#include "TestStartWindow.moc"
