#include "core/accounts/Login.h"
#include "core/accounts/Rights.h"
#include "support/TestAccountSet.h"

#include <QTest>

using namespace tl;

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void refusalsSayWhy() {
        const QString missing = "该套帐的数据文件不存在，请检查数据文件是否被删除或移走。";
        const QString empty = "请输入用户名或密码！";
        const QString wrong = "用户名或密码错，请重新输入！";
        test::TestAccountSet set;
        set.db().exec("INSERT INTO Staff (Name, PSD, \"Right\") VALUES ('Li Ming', 'Secret', ?)",
                      {Rights::join({"操作销售记录", "添加销售记录"})});
        set.db().exec("INSERT INTO Staff (Name, PSD) VALUES (?, ?)", {"O'Neil", "pa'ss\"word"});
        const struct {
            QString path, name, password, message;
        } cases[] = {
            {"", "admin", "730281", missing},
            {set.folder() + "/gone.lbk", "admin", "730281", missing},
            {set.folder(), "admin", "730281", missing}, // a folder
            {set.path(), "", "730281", empty},
            {set.path(), "admin", "", empty},
            {set.path(), "admin", "730282", wrong},
            {set.path(), "nobody", "730281", wrong},
            // Text that would change a pasted-together query is only a wrong password.
            {set.path(), "admin", "' OR '1'='1", wrong},
            {set.path(), "admin' --", "x", wrong},
            // The password must match exactly, without trimming.
            {set.path(), "Li Ming", "secret", wrong},
            {set.path(), "Li Ming", "Secret ", wrong},
        };
        for (const auto& c : cases) {
            const LoginAttempt attempt = Login::authenticate(c.path, c.name, c.password);
            QVERIFY2(!attempt.login, qPrintable(c.name + "/" + c.password));
            QCOMPARE(attempt.outcome.kind, Outcome::Kind::Refused);
            QCOMPARE(attempt.outcome.message, c.message);
        }
        const LoginAttempt admin = Login::authenticate(set.path(), "admin", "730281");
        QVERIFY(admin.login && admin.login->db);
        QVERIFY(admin.outcome.isOk() && admin.outcome.message.isEmpty());
        QCOMPARE(admin.login->session.rights, Rights::all());
        QVERIFY(Login::authenticate(set.path(), "O'Neil", "pa'ss\"word").login);

        auto login = Login::authenticate(set.path(), "LI MING", "Secret").login;
        QVERIFY(login);
        // The session keeps the operator's name as recorded, not as typed.
        QCOMPARE(login->session.operatorName, QString("Li Ming"));
        QCOMPARE(login->session.operatorId, QString("2"));
        QVERIFY(login->session.hasRight("添加销售记录"));
        QVERIFY(!login->session.hasRight("删除销售记录"));
    }
};

QTEST_GUILESS_MAIN(TestLogin)
#include "TestLogin.moc"
