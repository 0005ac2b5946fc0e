#include "core/accounts/NewAccountSet.h"
#include "core/accounts/Registry.h"
#include "core/accounts/Rights.h"
#include "core/masterdata/MasterRecord.h"
#include "core/transactions/BuyStore.h"
#include "support/CliRunner.h"
#include "support/TestAccountSet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace tl;
using tl::test::CliRunner;

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void wrongUsageExitsTwoBeforeLogin();
    void loginFollowsTheLoginWindow();
    void firstUseAndCreate();
    void unreadableRegistryOrTemplate_data();
    void unreadableRegistryOrTemplate();
    void verifyFindsStockChangedByHandUntilRebuilt();
    void backupNeedsItsRight();
    void backupIsAnAccountSetOfItsOwn();

private:
    QString stock() {
        return m_set->db().value("SELECT group_concat(ID||':'||Num) FROM Stock").toString();
    }
    std::unique_ptr<test::TestAccountSet> m_set = test::sampleAccountSet();
    CliRunner m_cli;
};

void TestCli::wrongUsageExitsTwoBeforeLogin() {
    const QString set = m_set->path();
    // A wrong password would give 1: usage is checked before anyone logs in.
    const QStringList cases[] = {
        {},
        {"--set", set, "frobnicate"},
        {"verify"},
        {"--set", set, "verify", "--fast"},
        {"--set", set, "verify", "extra"},
        {"--set"},
        {"--set", set, "--set", set, "verify"},
    };
    for (const QStringList& args : cases) {
        const auto r = m_cli.run(args, "wrong password");
        QVERIFY2(r.code == 2 && r.out.isEmpty() && !r.err.isEmpty(),
                 qPrintable(args.join(' ') + " -> " + r.err));
    }
}

void TestCli::loginFollowsTheLoginWindow() {
    const QString set = m_set->path(), wrong = "用户名或密码错，请重新输入！";
    auto refused = [&](const QStringList& args, const std::optional<QString>& password,
                       const QByteArray& input = {}) {
        const auto r = m_cli.run(args, password, input);
        return r.code == 1 ? r.err.trimmed().section(QLatin1Char('\n'), -1)
                           : QString::number(r.code);
    };
    QCOMPARE(refused({"--set", set, "verify"}, "730282"), wrong);
    QCOMPARE(refused({"--set", set, "--user", "nobody", "verify"}, "730281"), wrong);
    QCOMPARE(refused({"--set", set, "verify"}, ""), QString("请输入用户名或密码！"));
    QVERIFY(refused({"--set", m_set->folder() + "/gone.lbk", "verify"}, "730281")
                .startsWith("找不到套帐"));
    QVERIFY(!QFile::exists(m_set->folder() + "/gone.lbk"));
    // Without the variable the password is read from standard input (a pipe here).
    QCOMPARE(m_cli.run({"--set", set, "verify"}, std::nullopt, "730281\n").code, 0);
    QVERIFY(refused({"--set", set, "verify"}, std::nullopt, "730282\n").endsWith(wrong));
}

void TestCli::firstUseAndCreate() {
    QTemporaryDir folder;
    const CliRunner own = CliRunner::copiedTo(folder.path());
    // The example of the tool's help works before any window has run.
    auto r = own.run({"--set", "示例套帐", "verify"});
    QVERIFY2(r.code == 0, qPrintable(r.err));

    const QString made = folder.path() + "/本店.lbk", other = folder.path() + "/其他.lbk";
    r = own.run({"create", "本店", "--file", made}, std::nullopt);
    QVERIFY2(r.code == 0 && QFile::exists(made), qPrintable(r.err));
    QCOMPARE(own.run({"--set", "本店", "verify"}).code, 0);
    // Refused, leaving neither a file nor a registry row.
    const QStringList refused[] = {
        {"本店", other, Registry::nameTakenMessage("本店")},
        {"新店", made, NewAccountSet::existingFileMessage(made)},
        {"甲/乙", other, NewAccountSet::nameCharsMessage()},
    };
    for (const QStringList& c : refused) {
        r = own.run({"create", c[0], "--file", c[1]});
        QVERIFY2(r.code == 1 && r.err.trimmed() == c[2], qPrintable(r.err));
    }
    QVERIFY(!QFile::exists(other));
    // Without --file: where the file dialogs start (no documents folder: home).
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", folder.path().toUtf8());
    QCOMPARE(own.run({"create", "默认"}).code, 0);
    qputenv("HOME", home);
    QVERIFY(QFile::exists(folder.path() + "/默认.lbk"));
}

void TestCli::unreadableRegistryOrTemplate_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("asFolder");
    for (const char* file : {"Parameter.mdb", "DB.lbk"}) {
        QTest::addRow("%s folder", file) << file << true;
        QTest::addRow("%s mode 000", file) << file << false;
    }
}

void TestCli::unreadableRegistryOrTemplate() {
    QFETCH(QString, file);
    QFETCH(bool, asFolder);
    if (!asFolder && geteuid() == 0)
        QSKIP("root reads files of any mode");
    QTemporaryDir folder;
    const CliRunner own = CliRunner::copiedTo(folder.path());
    const QString path = folder.path() + "/" + file;
    QFile::remove(path);
    QVERIFY(asFolder ? QDir().mkdir(path)
                     : QFile(path).open(QIODevice::WriteOnly) && QFile::setPermissions(path, {}));
    const auto r = own.run({"--set", "示例套帐", "verify"});
    QVERIFY2(r.code == 1 &&
                 r.err.startsWith(file == "DB.lbk" ? "无法读取套帐模板文件DB.lbk："
                                                   : "无法读取套帐列表Parameter.mdb：") &&
                 !r.err.contains("找不到"),
             qPrintable(r.err));
}

void TestCli::verifyFindsStockChangedByHandUntilRebuilt() {
    Database& db = m_set->db();
    const QStringList args = {"--set", m_set->path(), "verify"};
    // Saving a purchase of 2.5 moves Stock by 2: rounding, no difference.
    BuyInput half{1, 1, 1, 1, 3, 2.5, 0, QDate(2009, 2, 4), {}};
    QVERIFY(BuyStore::add(db, half) > 0);
    auto r = m_cli.run(args);
    QVERIFY2(r.code == 0 && r.err.contains("有 1 处库存与按记录计算的数量只差取整"),
             qPrintable(r.err));

    const QVariant id = db.value("SELECT min(ID) FROM Stock");
    const int sid = db.value("SELECT SID FROM Stock WHERE ID=?", {id}).toInt();
    const int pid = db.value("SELECT PID FROM Stock WHERE ID=?", {id}).toInt();
    db.exec("UPDATE Stock SET Num=Num+7 WHERE ID=?", {id});
    const QString stockBefore = stock();

    r = m_cli.run(args);
    QCOMPARE(r.code, 1);
    // One line, naming the warehouse and product of the changed row.
    const QString out = QString::fromUtf8(r.out);
    QCOMPARE(out.count('\n'), 1);
    QVERIFY2(out.contains(QString("仓库 %1（").arg(sid)) &&
                 out.contains(QString("产品 %1（").arg(pid)),
             qPrintable(out));
    // Checking changed nothing: the row stays wrong, no work table is left behind.
    QCOMPARE(stock(), stockBefore);
    QVERIFY(!db.tableNames().join(',').contains("T_"));

    r = m_cli.run({"--set", m_set->path(), "rebuild"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(!db.tableNames().join(',').contains("T_"));
    r = m_cli.run(args);
    QVERIFY2(r.code == 0 && r.out.isEmpty(), qPrintable(r.err + r.out));
}

// The rights of the commands with a button are compared with the window's in
// TestCliRights; backup is the menu's.
void TestCli::backupNeedsItsRight() {
    m_set->db().exec("INSERT INTO Staff (Name, PSD, \"Right\") VALUES ('clerk', 'pw', ?)",
                     {Rights::join({"操作盘点统计", "查看库存金额"})});
    const QString target = m_set->folder() + "/copy.lbk";
    const auto r = m_cli.run({"--set", m_set->path(), "--user", "clerk", "backup", target}, "pw");
    QVERIFY2(r.code == 1 && r.err.startsWith(noRightMessage()) && r.out.isEmpty(),
             qPrintable(r.err));
    QVERIFY(!QFile::exists(target));
}

void TestCli::backupIsAnAccountSetOfItsOwn() {
    m_set->db().exec("UPDATE Stock SET Num=Num+3 WHERE ID=(SELECT max(ID) FROM Stock)");
    QTemporaryDir dir;
    const QString target = dir.path() + "/备份.lbk";
    auto r = m_cli.run({"--set", m_set->path(), "backup", target});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    // The copy checks out as the original does, down to the stock row changed above.
    const auto original = m_cli.run({"--set", m_set->path(), "verify"});
    r = m_cli.run({"--set", target, "verify"});
    QCOMPARE(r.code, original.code);
    QCOMPARE(r.out, original.out);
    QVERIFY(!r.out.isEmpty());
    // Onto itself or into a missing folder: refused.
    QCOMPARE(m_cli.run({"--set", m_set->path(), "backup", m_set->path()}).code, 1);
    QCOMPARE(m_cli.run({"--set", m_set->path(), "backup", dir.path() + "/gone/x.lbk"}).code, 1);
    QCOMPARE(m_cli.run({"--set", m_set->path(), "backup"}).code, 2);
}

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
