#include "core/accounts/NewAccountSet.h"
#include "core/accounts/Registry.h"
#include "core/accounts/Rights.h"
#include "core/data/Schema.h"
#include "core/masterdata/MasterRecord.h"
#include "core/sample/SampleData.h"
#include "core/transactions/BuyStore.h"
#include "support/CliRunner.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

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
    void migrateRefusesWhatTheServerWouldNotTake();
    void migrateCopiesTheBooksIntoAnEmptyDatabase();

private:
    QString stock() {
        return test::queryRows(m_set->db(), "SELECT ID, Num FROM Stock ORDER BY ID");
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
    if (test::onServer()) {
        // A server keeps its pages sound itself: verify looks for the program's columns.
        db.exec("ALTER TABLE Shop DROP COLUMN BuySlip");
        r = m_cli.run(args);
        QCOMPARE(QString::fromUtf8(r.out), QString("完整性：表 Shop 缺少列 BuySlip\n"));
        db.exec("ALTER TABLE Shop ADD COLUMN BuySlip bigint");
    }
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

// The source of a migration is a file, in the server pass too.
static QString sampleFile(const QString& folder) {
    const QString path = folder + "/源.lbk";
    auto db = Database::open(path, Database::OpenMode::CreateIfMissing);
    Schema::createAccountSet(*db);
    SampleData::fill(*db);
    return path;
}

void TestCli::migrateRefusesWhatTheServerWouldNotTake() {
    if (!test::onServer())
        QSKIP("needs a database server");
    QTemporaryDir dir;
    const QString file = sampleFile(dir.path());
    auto db = Database::open(file);
    // An index that lets a pair of Stock rows in, as in a file edited by hand.
    db->exec("DROP INDEX Stock_SID_PID");
    db->exec("CREATE INDEX Stock_SID_PID ON Stock (SID, PID)");
    db->exec("INSERT INTO Stock (ID, SID, PID, Num) SELECT 900, SID, PID, 1 FROM Stock WHERE ID=1");
    db->exec("UPDATE Sale SET Price='9.9元' WHERE ID=1");
    db->exec("UPDATE Buy SET Dat='2009/2/4' WHERE ID=1");
    db->exec("UPDATE Buy SET Dat='2009-02-30' WHERE ID=2");
    db->exec("UPDATE Product SET Memo=CAST(X'61C3' AS TEXT) WHERE PID=1");
    db->exec("UPDATE Customer SET Memo=CAST(X'610062' AS TEXT) WHERE CID=1");
    db->exec("INSERT INTO Staff (UID, Name) VALUES (900, 'ADMIN')");
    db.reset();
    const QString target = test::freshServerSchema();
    const auto r = m_cli.run({"--set", file, "migrate", target});
    QStringList lines = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
    lines.sort();
    QStringList expected = {
        "表 Sale，记录 1，列 Price，值“9.9元”：应为数字，存的是文字",
        "表 Buy，记录 1，列 Dat，值“2009/2/4”：不是 YYYY-MM-DD 格式的日期",
        "表 Buy，记录 2，列 Dat，值“2009-02-30”：不是 YYYY-MM-DD 格式的日期",
        "表 Product，记录 1，列 Memo，值“a\uFFFD”：不是有效的 UTF-8 文字",
        "表 Customer，记录 1，列 Memo，值“a\\0b”：文字中含有空字符（NUL）",
        "表 Staff，记录 900，列 Name，值“ADMIN”：与记录 1 的操作员“admin”只差大小写，请先改名",
    };
    const QString pair =
        test::queryRows(*Database::open(file), "SELECT SID, PID FROM Stock WHERE ID=1");
    for (const char* id : {"1", "900"})
        expected << QString(
                        "表 Stock，记录 %1，列 SID, PID，值“仓库 %2，产品 %3”：同一仓库和产品有 2 "
                        "行，请先运行 rebuild 命令重建库存")
                        .arg(id, pair.section('|', 0, 0), pair.section('|', 1, 1));
    expected.sort();
    QCOMPARE(lines, expected);
    QVERIFY2(r.code == 1 && r.err.contains("服务器上没有写入任何东西"), qPrintable(r.err));
    QVERIFY(Database::open(target)->tableNames().isEmpty());
}

void TestCli::migrateCopiesTheBooksIntoAnEmptyDatabase() {
    if (!test::onServer())
        QSKIP("needs a database server");
    QTemporaryDir dir;
    const QString file = sampleFile(dir.path());
    const qint64 lastRegion = Database::open(file)
                                  ->value("DELETE FROM Region WHERE RID=(SELECT max(RID) FROM "
                                          "Region) RETURNING RID")
                                  .toLongLong();
    const QByteArray before = test::readFile(file);
    const QString target = test::freshServerSchema();
    auto r = m_cli.run({"--set", file, "migrate", target});
    QVERIFY2(r.code == 0 && r.out.contains("Sale\t"), qPrintable(r.err));
    QCOMPARE(test::readFile(file), before);
    const auto onFile = m_cli.run({"--set", file, "report", "stock"});
    r = m_cli.run({"--set", target, "report", "stock"});
    QVERIFY(!r.out.isEmpty());
    QCOMPARE(r.out, onFile.out);
    // A new record continues past every key the file gave out, deleted ones too.
    QCOMPARE(Database::open(target)->insertKey("INSERT INTO Region (Region) VALUES (?)", {"新区"},
                                               "RID"),
             lastRegion + 1);

    r = m_cli.run({"--set", file, "migrate", target});
    QCOMPARE(
        r.err.trimmed(),
        QString("服务器上的这个数据库中已经有表，只能迁移到空的数据库。请新建一个数据库再迁移。"));
    // The program's template makes a new, empty account set.
    const QString empty = test::freshServerSchema();
    const QString tmpl = QFileInfo(CliRunner::builtExecutable()).absolutePath() + "/DB.lbk";
    QCOMPARE(m_cli.run({"--set", tmpl, "migrate", empty}).code, 0);
    QCOMPARE(m_cli.run({"--set", empty, "verify"}).code, 0);
}

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
