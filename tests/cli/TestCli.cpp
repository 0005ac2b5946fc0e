#include "cli/Command.h"
#include "data/Registry.h"
#include "data/Rights.h"
#include "data/SampleData.h"
#include "masterdata/MasterRecord.h"
#include "support/CliRunner.h"
#include "support/TestAccountSet.h"

#include <QFile>
#include <QTest>

using namespace tl;
using tl::test::CliRunner;

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void wrongUsageExitsTwoBeforeLogin();
    void everyCommandExplainsItselfInChinese();
    void loginFollowsTheLoginWindow();
    void registeredNameOrPath();
    void verifyFindsStockChangedByHandUntilRebuilt();
    void commandWithoutItsRightIsRefused();
    void backupIsAnAccountSetOfItsOwn();

private:
    std::unique_ptr<test::TestAccountSet> m_set;
    CliRunner m_cli;
};

void TestCli::initTestCase() {
    m_set = std::make_unique<test::TestAccountSet>();
    SampleData::fill(m_set->db());
}

void TestCli::wrongUsageExitsTwoBeforeLogin() {
    const QString set = m_set->path();
    // A wrong password would give 1: usage is checked before anyone logs in.
    const struct {
        QStringList args;
        QString message;
    } cases[] = {
        {{}, "缺少命令。"},
        {{"--set", set, "frobnicate"}, "未知的命令：frobnicate"},
        {{"verify"}, "缺少选项 --set"},
        {{"--set", set, "verify", "--fast"}, "未知的选项：--fast"},
        {{"--set", set, "verify", "extra"}, "多余的参数：extra"},
        {{"--set"}, "选项 --set 缺少取值。"},
        {{"--set", set, "--set", set, "verify"}, "选项 --set 只能给一次。"},
    };
    for (const auto& c : cases) {
        const auto r = m_cli.run(c.args, "wrong password");
        QVERIFY2(r.code == 2, qPrintable(c.args.join(' ') + " -> " + r.err));
        QVERIFY2(r.err.contains(c.message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QVERIFY(!r.err.contains("用户名或密码错"));
    }
}

void TestCli::everyCommandExplainsItselfInChinese() {
    const auto tool = m_cli.run({"--help"});
    QCOMPARE(tool.code, 0);
    const QString text = QString::fromUtf8(tool.out);
    QVERIFY(text.contains("TRADELEDGER_PASSWORD"));
    QVERIFY(!cli::commandList().isEmpty());
    for (const cli::CommandInfo& c : cli::commandList()) {
        QVERIFY2(text.contains("  " + c.name), qPrintable(c.name));
        for (const QStringList& args :
             {QStringList{c.name, "--help"}, QStringList{"help", c.name}}) {
            const auto r = m_cli.run(args);
            QCOMPARE(r.code, 0);
            const QString help = QString::fromUtf8(r.out);
            QVERIFY2(help.contains("用法：tradeledger-cli") && help.contains("示例：") &&
                         help.contains(" " + c.name),
                     qPrintable(help));
        }
    }
}

void TestCli::loginFollowsTheLoginWindow() {
    const QString set = m_set->path();
    auto r = m_cli.run({"--set", set, "verify"}, "730282");
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err.trimmed(), QString("用户名或密码错，请重新输入！"));
    r = m_cli.run({"--set", set, "--user", "nobody", "verify"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err.trimmed(), QString("用户名或密码错，请重新输入！"));
    r = m_cli.run({"--set", set, "verify"}, "");
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err.trimmed(), QString("请输入用户名或密码！"));
    r = m_cli.run({"--set", m_set->folder() + "/gone.lbk", "verify"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("gone.lbk"));

    // Without the variable the password is read from standard input (a pipe here).
    r = m_cli.runWithoutPassword({"--set", set, "verify"}, "730281\n");
    QCOMPARE(r.code, 0);
    r = m_cli.runWithoutPassword({"--set", set, "verify"}, "730282\n");
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("用户名或密码错，请重新输入！"));
}

void TestCli::registeredNameOrPath() {
    // A copy of the tool in a folder of its own is a program folder with its own registry.
    QTemporaryDir folder;
    const QString tool = folder.path() + "/tradeledger-cli";
    QVERIFY(QFile::copy(CliRunner::builtExecutable(), tool));
    QFile(tool).setPermissions(QFile(tool).permissions() | QFileDevice::ExeOwner);
    const CliRunner own(tool);

    auto r = own.run({"--set", "本店", "verify"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("找不到套帐“本店”"), qPrintable(r.err));

    QVERIFY(Registry(folder.path() + "/Parameter.mdb").add("本店", m_set->path()) > 0);
    r = own.run({"--set", "本店", "verify"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
}

void TestCli::verifyFindsStockChangedByHandUntilRebuilt() {
    Database& db = m_set->db();
    const QStringList args = {"--set", m_set->path(), "verify"};
    auto r = m_cli.run(args);
    QVERIFY2(r.code == 0, qPrintable(r.err));

    const QVariant id = db.value("SELECT min(ID) FROM Stock");
    const int sid = db.value("SELECT SID FROM Stock WHERE ID=?", {id}).toInt();
    const int pid = db.value("SELECT PID FROM Stock WHERE ID=?", {id}).toInt();
    db.exec("UPDATE Stock SET Num=Num+7 WHERE ID=?", {id});
    const auto stockBefore = db.value("SELECT group_concat(ID||':'||Num) FROM Stock");

    r = m_cli.run(args);
    QCOMPARE(r.code, 1);
    const QString out = QString::fromUtf8(r.out);
    QCOMPARE(out.count('\n'), 1);
    QVERIFY2(out.startsWith(QString("库存：仓库 %1（").arg(sid)) &&
                 out.contains(QString(" 产品 %1（").arg(pid)),
             qPrintable(out));
    QVERIFY(r.err.contains("共 1 处"));
    // Checking changed nothing: the row stays wrong, no work table is left behind.
    QCOMPARE(db.value("SELECT group_concat(ID||':'||Num) FROM Stock"), stockBefore);
    QVERIFY(!db.tableNames().join(',').contains("T_"));

    r = m_cli.run({"--set", m_set->path(), "rebuild"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(!db.tableNames().join(',').contains("T_"));
    r = m_cli.run(args);
    QVERIFY2(r.code == 0, qPrintable(r.err + r.out));
    QVERIFY(r.out.isEmpty());
}

void TestCli::commandWithoutItsRightIsRefused() {
    Database& db = m_set->db();
    db.exec("INSERT INTO Staff (Name, PSD, \"Right\") VALUES ('clerk', 'pw', ?)",
            {Rights::join({"操作盘点统计", "查看库存金额"})});
    db.exec("UPDATE Stock SET Num=Num+1 WHERE ID=(SELECT min(ID) FROM Stock)");
    const auto stockBefore = db.value("SELECT group_concat(ID||':'||Num) FROM Stock");
    for (const QString& command : {QString("verify"), QString("rebuild")}) {
        const auto r = m_cli.run({"--set", m_set->path(), "--user", "clerk", command}, "pw");
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.startsWith(noRightMessage()) && r.err.contains("查看库存数量"),
                 qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }
    QCOMPARE(db.value("SELECT group_concat(ID||':'||Num) FROM Stock"), stockBefore);
}

void TestCli::backupIsAnAccountSetOfItsOwn() {
    m_set->db().exec("UPDATE Stock SET Num=Num+3 WHERE ID=(SELECT max(ID) FROM Stock)");
    QTemporaryDir dir;
    const QString target = dir.path() + "/备份.lbk";
    auto r = m_cli.run({"--set", m_set->path(), "backup", target});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(r.err.isEmpty() && r.out.isEmpty());
    // The copy checks out as the original does, down to the stock row changed above.
    const auto original = m_cli.run({"--set", m_set->path(), "verify"});
    r = m_cli.run({"--set", target, "verify"});
    QCOMPARE(r.code, original.code);
    QCOMPARE(r.out, original.out);
    QVERIFY(!r.out.isEmpty());
    {
        auto copy = Database::open(target, Database::OpenMode::ReadOnly);
        QVERIFY(copy);
        for (const char* table : {"Sale", "Buy", "Adjust", "Stock", "Customer"})
            QCOMPARE(copy->value(QString("SELECT count(*) FROM ") + table),
                     m_set->db().value(QString("SELECT count(*) FROM ") + table));
    }

    const auto sales = m_set->db().value("SELECT count(*) FROM Sale");
    r = m_cli.run({"--set", m_set->path(), "backup", m_set->path()});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("不能把套帐备份到它自己的文件上"), qPrintable(r.err));
    QCOMPARE(m_set->db().value("SELECT count(*) FROM Sale"), sales);
    r = m_cli.run({"--set", m_set->path(), "backup", dir.path() + "/gone/x.lbk"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("无法写入备份文件"), qPrintable(r.err));
    QCOMPARE(m_cli.run({"--set", m_set->path(), "backup"}).code, 2);
}

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
