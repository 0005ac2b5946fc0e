#include "data/Database.h"
#include "data/Lookups.h"
#include "data/Rights.h"
#include "data/Schema.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QFile>
#include <QSqlQuery>
#include <QTest>

using namespace tl;

class TestDatabase : public QObject {
    Q_OBJECT
private slots:
    void openingAndLookups();
    void findOrCreateReusesPlaceholders();
    void upgradeAddsMissingTablesAndCounters();
    void transactionRollsBackWhole();
};

void TestDatabase::openingAndLookups() {
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
}

void TestDatabase::findOrCreateReusesPlaceholders() {
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

void TestDatabase::upgradeAddsMissingTablesAndCounters() {
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
    QCOMPARE(db.value("SELECT max(ID) FROM Stock").toInt(), 3);
    const QString sql = db.value("SELECT group_concat(sql, ';') FROM sqlite_master").toString();
    Schema::upgrade(db);
    QCOMPARE(db.value("SELECT group_concat(sql, ';') FROM sqlite_master").toString(), sql);
    QCOMPARE(db.value("SELECT count(*) FROM Stock").toInt(), 3);

    // Adjust present but from a version without its counter.
    db.exec("DROP TABLE Adjust");
    db.exec("CREATE TABLE Adjust (IID INTEGER, OID INTEGER, PID INTEGER, Num REAL, Dat TEXT, "
            "Memo TEXT)");
    db.exec("INSERT INTO Adjust VALUES (1, 2, 7, 4, '2009-02-04', 'x')");
    Schema::upgrade(db);
    QCOMPARE(db.value("SELECT ID FROM Adjust WHERE Memo='x'").toInt(), 1);

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
}

void TestDatabase::transactionRollsBackWhole() {
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
        t.commit();
    }
    QCOMPARE(db.value("SELECT count(*) FROM Region").toInt(), 1);
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "TestDatabase.moc"
