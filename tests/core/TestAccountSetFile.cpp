#include "core/accounts/AppPaths.h"
#include "core/accounts/Login.h"
#include "core/accounts/NewAccountSet.h"
#include "core/accounts/Registry.h"
#include "core/accounts/Rights.h"
#include "core/data/AccountSetFile.h"
#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/masterdata/Lookups.h"
#include "core/printing/ShopSettings.h"
#include "core/support/Files.h"
#include "core/transactions/SaleStore.h"
#include "core/transactions/StockCheck.h"
#include "core/transactions/StockLedger.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QTest>
#include <unistd.h>

using namespace tl;

namespace {
QString refusal(const QString& path, const QString& password = "730281") {
    const LoginAttempt attempt = Login::authenticate(path, "admin", password);
    return attempt.login ? QString("logged in") : attempt.outcome.message;
}
} // namespace

class TestAccountSetFile : public QObject {
    Q_OBJECT
private slots:
    void openingTablesAndLookups();
    void findOrCreateReusesPlaceholders();
    void upgradeAddsMissingTablesAndCounters();
    void transactionRollsBackWhole();
    void templateAndRegistryAreNoAccountSets();
    void refusedFilesStayUntouched();
    void damagedFileIsNoticed();
    void readOnlyAccountSet();
    void engineErrorsSpeakChinese();
    void copyKeepsOtherFiles();
};

void TestAccountSetFile::openingTablesAndLookups() {
    test::TestAccountSet set;
    Database& db = set.db();
    QVERIFY(!Database::open(set.folder() + "/missing.lbk"));
    QVERIFY(!QFile::exists(set.folder() + "/missing.lbk")); // opening never creates a file
    QVERIFY(!Database::open(test::writeFile(
        set.folder() + "/notes.txt",
        "this is not a database, just some text that is long enough to have a header\n")));
    // Table and field tests are case-sensitive.
    QVERIFY(db.tableExists("Adjust") && !db.tableExists("adjust") && !db.tableExists("Adj*"));
    QVERIFY(!db.fieldExists("Customer", "WebSit") && !db.fieldExists("NoSuchTable", "ID"));
    db.exec("INSERT INTO Product (Name, Unit) VALUES ('铅笔', NULL)");
    QCOMPARE(db.nameById("Product", 1, "PID", "Name"), QString("铅笔"));
    QCOMPARE(db.nameById("Product", 1, "PID", "Unit"), QString()); // null field
    QVERIFY(!db.fieldById("Product", 99, "PID", "Name").isValid());

    // One work table named with a blank or Chinese letters used to block the
    // whole drop, and the error came back at every close.
    const QStringList odd{"T_ 空格", "T_销售统计", "T_\"引号\"", "T_a-b"};
    for (const QString& name : odd)
        db.exec("CREATE TABLE " + Database::quoted(name) + " (x)");
    db.exec("CREATE TABLE t_lower (x)"); // not a work table: the prefix is "T_"
    db.dropWorkTables();
    for (const QString& name : odd)
        QVERIFY2(!db.tableExists(name), qPrintable(name));
    QVERIFY(db.tableExists("t_lower"));
}

void TestAccountSetFile::findOrCreateReusesPlaceholders() {
    test::TestAccountSet set;
    Database& db = set.db();
    const int p1 = findOrCreate(db, Master::Product, "橡皮");
    const int p2 = findOrCreate(db, Master::Product, "尺子");
    QVERIFY(p1 != p2);
    QCOMPARE(findOrCreate(db, Master::Product, "橡皮"), p1);
    QCOMPARE(db.value("SELECT count(*) FROM Class WHERE Class='未分类产品'").toInt(), 1);
    QCOMPARE(db.value("SELECT CID FROM Product WHERE PID=?", {p2}),
             db.value("SELECT CID FROM Class WHERE Class='未分类产品'"));

    findOrCreate(db, Master::Vender, "甲供应商");
    findOrCreate(db, Master::Customer, "乙客户");
    QCOMPARE(db.value("SELECT count(*) FROM Region WHERE Region='未知区域'").toInt(), 1);
    QCOMPARE(db.value("SELECT RID FROM Vender").toInt(),
             db.value("SELECT RID FROM Customer").toInt());
    // Names compare without regard to case, as operators expect.
    QCOMPARE(findOrCreate(db, Master::Storage, "Main"), findOrCreate(db, Master::Storage, "MAIN"));
}

void TestAccountSetFile::upgradeAddsMissingTablesAndCounters() {
    test::TestAccountSet set;
    Database& db = set.db();
    // An older account set: no Adjust, Stock without its ID counter.
    db.exec("DROP TABLE Adjust");
    db.exec("DROP TABLE Stock");
    db.exec("CREATE TABLE Stock (SID INTEGER, PID INTEGER, Num REAL)");
    db.exec("INSERT INTO Stock VALUES (1, 7, 3.5), (2, 7, -1)");
    Schema::upgrade(db);
    QVERIFY(db.fieldExists("Adjust", "ID") && db.fieldExists("Stock", "ID"));
    QCOMPARE(db.value("SELECT group_concat(ID || ':' || SID || ':' || Num) FROM Stock").toString(),
             QString("1:1:3.5,2:2:-1.0"));
    db.exec("INSERT INTO Stock (SID, PID, Num) VALUES (3, 7, 1)");
    const QString sql = db.value("SELECT group_concat(sql, ';') FROM sqlite_master").toString();
    Schema::upgrade(db);
    QCOMPARE(db.value("SELECT group_concat(sql, ';') FROM sqlite_master").toString(), sql);
    // Version 2: Stock's index was no key and a pair could have two rows. The
    // check reports them; the upgrade merges them into one with their sum.
    db.exec("DROP INDEX Stock_SID_PID");
    db.exec("CREATE INDEX Stock_SID_PID ON Stock (SID, PID)");
    db.exec("INSERT INTO Stock (SID, PID, Num) VALUES (1, 7, 2)");
    db.exec("PRAGMA user_version=2");
    QCOMPARE(compareStockWithRecords(db).differences.value(0).storedRows, 2);
    Schema::upgrade(db);
    QCOMPARE(test::queryRows(db, "SELECT ID, SID, Num FROM Stock ORDER BY ID"),
             QString("1|1|5.5;2|2|-1;3|3|1"));
    QVERIFY_THROWS_EXCEPTION(DbError, db.exec("INSERT INTO Stock (SID, PID) VALUES (1, 7)"));

    // Adjust present but from a version without its counter, and named in
    // other case: the upgrade once tried to create "Adjust" beside it, rolled
    // back, and no sale could be saved in that file.
    db.exec("DROP TABLE Adjust");
    db.exec("CREATE TABLE adjust (IID INTEGER, OID INTEGER, PID INTEGER, Num REAL, Dat TEXT, "
            "Memo TEXT)");
    db.exec("INSERT INTO adjust VALUES (1, 2, 7, 4, '2009-02-04', 'x')");
    Schema::upgrade(db);
    QCOMPARE(db.value("SELECT ID FROM Adjust WHERE Memo='x'").toInt(), 1);
    QVERIFY(SaleStore::add(db, test::sale(2)) > 0);
    db.exec("ALTER TABLE Customer RENAME TO customer_old");
    db.exec("ALTER TABLE customer_old RENAME TO CUSTOMER");
    QVERIFY(Schema::isAccountSetFile(set.path()));

    // A file from before the backup right: whoever may set rights gets it,
    // the session at once, and only once (a later revocation stands).
    const QString before = test::allRightsBut({"备份套帐"});
    const QString clerk = Rights::join({"查看人员设置", "修改人员设置"});
    db.exec("PRAGMA user_version=0");
    db.exec("UPDATE Staff SET \"Right\"=?", {before});
    db.exec("INSERT INTO Staff (Name, \"Right\") VALUES ('clerk', ?)", {clerk});
    Session admin{set.path(), "admin", "1", before};
    Schema::upgrade(db, &admin);
    QCOMPARE(admin.rights, Rights::all());
    QCOMPARE(test::queryRows(db, "SELECT \"Right\" FROM Staff ORDER BY UID"),
             Rights::all() + ";" + clerk);
    db.exec("UPDATE Staff SET \"Right\"=? WHERE UID=1", {before});
    Schema::upgrade(db);
    QCOMPARE(db.value("SELECT \"Right\" FROM Staff WHERE UID=1").toString(), before);
    // A file of version 1 gets the slips' table, and no right again.
    db.exec("DROP TABLE Shop");
    db.exec("PRAGMA user_version=1");
    Schema::upgrade(db);
    QVERIFY(SlipNumbers::take(db, SlipKind::Sale) == 1);
    QCOMPARE(db.value("SELECT \"Right\" FROM Staff WHERE UID=1").toString(), before);
}

void TestAccountSetFile::transactionRollsBackWhole() {
    test::TestAccountSet set;
    Database& db = set.db();
    {
        Transaction t(db);
        db.exec("INSERT INTO Region (Region) VALUES ('华北')");
        Transaction inner(db);
        db.exec("INSERT INTO Region (Region) VALUES ('华南')");
        inner.commit();
        // no commit of the outer one: both go
    }
    QCOMPARE(db.value("SELECT count(*) FROM Region").toInt(), 0);
    {
        Transaction t(db);
        db.exec("INSERT INTO Region (Region) VALUES ('华北')");
        QVERIFY_THROWS_EXCEPTION(DbError, db.exec("INSERT INTO NoTable VALUES (1)"));
        {
            // An inner part given up goes alone: the outer work is kept.
            Transaction inner(db);
            db.exec("INSERT INTO Region (Region) VALUES ('华南')");
        }
        db.exec("INSERT INTO Region (Region) VALUES ('西北')");
        t.commit();
    }
    QCOMPARE(db.value("SELECT group_concat(Region) FROM (SELECT Region FROM Region ORDER BY RID)")
                 .toString(),
             "华北,西北");
}

// Registering ./DB.lbk put whatever was added to it into every account set
// created afterwards.
void TestAccountSetFile::templateAndRegistryAreNoAccountSets() {
    test::TestAccountSet set;
    set.installTemplate();
    const QString templ = set.folder() + "/DB.lbk";
    QVERIFY(!Schema::isAccountSetFile(templ));
    for (const QString& path : {templ, set.folder() + "/sub/../DB.lbk", QString("./DB.lbk")}) {
        const auto made = NewAccountSet().create("模板", path, NewAccountSet::Existing::Use);
        QVERIFY(!made.created);
        QCOMPARE(made.outcome.message, AccountSetFile::reservedMessage());
    }
    QVERIFY(!QFile::exists(AppPaths::registryPath()));

    QCOMPARE(refusal(templ), AccountSetFile::reservedMessage());
    Outcome outcome;
    QVERIFY(Registry().add("套帐", set.path(), outcome) > 0);
    QCOMPARE(refusal(AppPaths::registryPath()), AccountSetFile::reservedMessage());
}

// A refused login used to turn a foreign SQLite file, a 0-byte file and a
// fresh copy of the template (wrong password) to WAL or into a database, and
// left a -wal and -shm beside a foreign file in WAL mode.
void TestAccountSetFile::refusedFilesStayUntouched() {
    QTemporaryDir dir;
    AppPaths::setProgramFolder(dir.path());
    const QString empty = test::writeFile(dir.path() + "/empty.lbk", {});
    const QString foreign = dir.path() + "/notes.db", walForeign = dir.path() + "/wal.db";
    for (const QString& path : {foreign, walForeign}) {
        auto other =
            Database::open(path, Database::OpenMode::CreateIfMissing,
                           path == foreign ? Database::Journal::Rollback : Database::Journal::Wal);
        other->exec("CREATE TABLE Notes (x)");
        other->exec("INSERT INTO Notes VALUES ('keep me')");
    }
    const QString copy = dir.path() + "/copy.lbk";
    QVERIFY(QFile::copy(qEnvironmentVariable("TL_TEMPLATE"), copy));
    const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    for (const QString& path : {empty, foreign, walForeign, copy}) {
        const QByteArray before = test::readFile(path);
        QCOMPARE(Schema::isAccountSetFile(path), path == copy);
        QCOMPARE(refusal(path, "730282"), path == copy ? QString("用户名或密码错，请重新输入！")
                                                       : QString("数据库打开错误！"));
        QCOMPARE(test::readFile(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), files);
    }
    // The right password switches the copy to WAL.
    auto login = Login::authenticate(copy, "admin", "730281").login;
    QVERIFY(login);
    QCOMPARE(login->db->value("PRAGMA journal_mode").toString(), QString("wal"));
}

// 21 of 500 damaged copies used to be used as if nothing were wrong.
void TestAccountSetFile::damagedFileIsNoticed() {
    QTemporaryDir dir;
    AppPaths::setProgramFolder(dir.path());
    const QString path = dir.path() + "/damaged.lbk";
    int pageSize = 0;
    {
        auto db =
            Database::open(path, Database::OpenMode::CreateIfMissing, Database::Journal::Rollback);
        Schema::createAccountSet(*db);
        Transaction t(*db);
        for (int i = 0; i < 3000; ++i)
            db->exec("INSERT INTO Region (Region, Memo) VALUES (?, ?)",
                     {QString::number(i), QString(60, QChar(u'备'))});
        t.commit();
        pageSize = db->value("PRAGMA page_size").toInt();
        QVERIFY(AccountSetFile::quickCheck(*db));
    }
    // The header of the last page, a page of the regions, is overwritten.
    QByteArray bytes = test::readFile(path);
    bytes.replace(bytes.size() - pageSize, 12, QByteArray(12, '\xff'));
    test::writeFile(path, bytes);

    QCOMPARE(AccountSetFile::probe(path), AccountSetFile::Verdict::AccountSet);
    const LoginAttempt attempt = Login::authenticate(path, "admin", "730281");
    QVERIFY(!attempt.login);
    QCOMPARE(attempt.outcome.message, AccountSetFile::damagedMessage());
    QVERIFY(!attempt.outcome.detail.isEmpty()); // the engine's findings
    QCOMPARE(test::readFile(path), bytes);
    QVERIFY(!QFile::exists(path + "-wal"));
}

void TestAccountSetFile::readOnlyAccountSet() {
    test::TestAccountSet set;
    auto reader = Database::open(set.path(), Database::OpenMode::ReadOnly);
    QVERIFY(reader->isReadOnly());
    try {
        SaleStore::add(*reader, test::sale(2));
        QFAIL("a read-only account set was written");
    } catch (const DbError& e) {
        QCOMPARE(e.kind(), DbError::Kind::ReadOnly);
    }
    QCOMPARE(set.db().value("SELECT count(*) FROM Sale").toInt(), 0);
    // Reports still run: their work tables live in the connection's own memory.
    set.db().exec("INSERT INTO Buy (PID, SID, Num, Dat) VALUES (1, 1, 5, '2009-01-01')");
    StockLedger::rebuildStock(*reader, QDate(2009, 6, 30), "T_ST2");
    StockLedger::rebuildStock(*reader, QDate(2009, 7, 1), "T_ST2");
    QCOMPARE(reader->value("SELECT Num FROM T_ST2").toDouble(), 5.0);
    QVERIFY(!set.db().tableExists("T_ST2"));
    // An older file opens for reading too: its rights wait for a login that may write.
    set.db().exec("PRAGMA user_version=0");
    set.db().exec("DROP TABLE Shop");
    Schema::upgrade(*reader);
    QCOMPARE(reader->value("PRAGMA user_version").toInt(), 0);
    QCOMPARE(ShopSettings::read(*reader), ShopSettings{}); // no shop yet, and no failure
    if (::geteuid() == 0)
        QSKIP("the superuser may write a read-only file");
    QFile::setPermissions(set.path(), QFileDevice::ReadOwner);
    const LoginAttempt attempt = Login::authenticate(set.path(), "admin", "730281");
    QVERIFY(attempt.login && attempt.login->db->isReadOnly());
    QVERIFY(attempt.outcome.isOk());
    QCOMPARE(attempt.outcome.message, AccountSetFile::readOnlyNotice());
}

void TestAccountSetFile::engineErrorsSpeakChinese() {
    test::TestAccountSet set;
    try {
        set.db().exec("INSERT INTO NoSuchTable (x) VALUES (?)", {1});
        QFAIL("no error");
    } catch (const DbError& e) {
        QVERIFY(e.detail().contains("no such table"));
        QVERIFY(!e.detail().contains("INSERT")); // never the SQL text
    }
    // Extended codes count by their primary code: 517 is a busy snapshot.
    using K = DbError::Kind;
    const struct {
        const char* code;
        K kind;
    } codes[] = {{"517", K::Busy}, {"1032", K::ReadOnly}, {"13", K::DiskFull}, {"11", K::Damaged}};
    for (const auto& c : codes) {
        const DbError e = DbError::fromSql(
            QSqlError("driver", "engine words", QSqlError::StatementError, c.code));
        QCOMPARE(e.kind(), c.kind);
        QVERIFY(!e.userText().contains("engine words"));
        QVERIFY(e.detail().contains("engine words"));
    }
}

// The copy once went through "<target>.part", deleting any file of that name,
// and removed the target before the copy was in place.
void TestAccountSetFile::copyKeepsOtherFiles() {
    QTemporaryDir dir;
    const QString source = dir.filePath("source"), target = dir.filePath("target");
    test::writeFile(source, "new");
    test::writeFile(target, "old");
    test::writeFile(target + ".part", "somebody's file");
    QVERIFY(copyFileReplacing(source, target));
    QCOMPARE(test::readFile(target), QByteArray("new"));
    QCOMPARE(test::readFile(target + ".part"), QByteArray("somebody's file"));
    QVERIFY(!copyFileReplacing(dir.filePath("missing"), target));
    QCOMPARE(test::readFile(target), QByteArray("new"));
}

QTEST_GUILESS_MAIN(TestAccountSetFile)
#include "TestAccountSetFile.moc"
