#include "data/Login.h"
#include "data/Rights.h"
#include "support/ScriptedDialogs.h"
#include "support/TestAccountSet.h"

#include <QFile>
#include <QTest>

using namespace tl;

namespace {
const QString kMissing = "该套帐的数据文件不存在，请检查数据文件是否被删除或移走。";
const QString kEmpty = "请输入用户名或密码！";
const QString kWrong = "用户名或密码错，请重新输入！";
} // namespace

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void refusalsHaveTheirMessages();
    void passwordExactNameWithoutCase();
    void quotesAreOrdinaryCharacters();
};

void TestLogin::refusalsHaveTheirMessages() {
    test::ScriptedDialogs dialogs;
    test::TestAccountSet set;
    QVERIFY(!Login::authenticate("", "admin", "730281"));
    QVERIFY(!Login::authenticate(set.folder() + "/gone.lbk", "admin", "730281"));
    QVERIFY(!Login::authenticate(set.folder(), "admin", "730281")); // a folder
    QVERIFY(!Login::authenticate(set.path(), "", "730281"));
    QVERIFY(!Login::authenticate(set.path(), "admin", ""));
    QVERIFY(!Login::authenticate(set.path(), "admin", "730282"));
    QVERIFY(!Login::authenticate(set.path(), "nobody", "730281"));
    QCOMPARE(dialogs.messages,
             (QStringList{kMissing, kMissing, kMissing, kEmpty, kEmpty, kWrong, kWrong}));

    dialogs.clear();
    auto login = Login::authenticate(set.path(), "admin", "730281");
    QVERIFY(login);
    QVERIFY(dialogs.messages.isEmpty());
    QCOMPARE(login->session.rights, Rights::all());
    QVERIFY(login->db);
}

void TestLogin::passwordExactNameWithoutCase() {
    test::ScriptedDialogs dialogs;
    test::TestAccountSet set;
    set.db().exec("INSERT INTO Staff (Name, PSD, \"Right\") VALUES ('Li Ming', 'Secret', ?)",
                  {Rights::join({"操作销售记录", "添加销售记录"})});
    QVERIFY(!Login::authenticate(set.path(), "Li Ming", "secret"));
    QVERIFY(!Login::authenticate(set.path(), "Li Ming", "Secret ")); // exact: no trimming
    QCOMPARE(dialogs.messages, (QStringList{kWrong, kWrong}));

    auto login = Login::authenticate(set.path(), "LI MING", "Secret");
    QVERIFY(login);
    // The session keeps the operator's name as recorded, not as typed.
    QCOMPARE(login->session.operatorName, QString("Li Ming"));
    QCOMPARE(login->session.operatorId, QString("2"));
    QVERIFY(login->session.hasRight("添加销售记录"));
    QVERIFY(!login->session.hasRight("删除销售记录"));
}

void TestLogin::quotesAreOrdinaryCharacters() {
    test::ScriptedDialogs dialogs;
    test::TestAccountSet set;
    set.db().exec("INSERT INTO Staff (Name, PSD) VALUES (?, ?)", {"O'Neil", "pa'ss\"word"});
    QVERIFY(Login::authenticate(set.path(), "O'Neil", "pa'ss\"word"));
    // Text that would change a pasted-together query is only a wrong password here.
    QVERIFY(!Login::authenticate(set.path(), "admin", "' OR '1'='1"));
    QVERIFY(!Login::authenticate(set.path(), "admin' --", "x"));
    QCOMPARE(dialogs.messages, (QStringList{kWrong, kWrong}));
}

QTEST_GUILESS_MAIN(TestLogin)
#include "TestLogin.moc"
