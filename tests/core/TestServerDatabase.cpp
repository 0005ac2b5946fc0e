#include "core/data/Database.h"
#include "core/data/ServerAddress.h"
#include "core/data/SqlErrors.h"
#include "support/TestAccountSet.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTest>

using namespace tl;

namespace {

DbError::Kind kindOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const DbError& e) {
        return e.kind();
    }
    return DbError::Kind::Refused; // stands for "nothing was thrown"
}

} // namespace

// What the server's driver does differently from SQLite, and what the
// database layer makes of it.
class TestServerDatabase : public QObject {
    Q_OBJECT
private slots:
    void engineSqlStaysInTheDatabaseLayer() {
        // Outside src/core/data the program writes SQL both engines run.
        const QRegularExpression engineOnly(QStringLiteral(
            "PRAGMA|sqlite_|rowid|NOCASE|last_insert_rowid|IMMEDIATE|\"[^\"\\n]*\\btotal\\("));
        QStringList found;
        QDirIterator it(QStringLiteral(TL_TEST_DATA "/../../src"), {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.contains(QStringLiteral("/core/data/")))
                continue;
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(f.readAll());
            if (text.contains(engineOnly))
                found << path.section(QLatin1Char('/'), -2);
        }
        QCOMPARE(found, QStringList());
    }

    void addressesNeverHoldPasswords() {
        ServerAddress a;
        QString why;
        QVERIFY(ServerAddress::parse("postgresql://tl@db.shop:5433/books?sslmode=require", a));
        QCOMPARE(a.host + ":" + QString::number(a.port) + "/" + a.database + "@" + a.user,
                 QString("db.shop:5433/books@tl"));
        for (const char* bad :
             {"postgresql://tl:secret@db/books", "postgresql://tl@db/books?password=x",
              "postgresql://db/books", "postgresql://tl@db/", "postgresql://tl@db/b?colour=red",
              "C:/books.lbk"})
            QVERIFY2(!ServerAddress::parse(bad, a, &why) && !why.isEmpty(), bad);
        QVERIFY(!ServerAddress::parse("postgresql://tl:secret@db/books", a, &why));
        QVERIFY(why.startsWith("服务器地址里不能写密码"));
    }

    void driverTraps() {
        if (!test::onServer())
            QSKIP("server only");
        test::TestAccountSet set;
        Database& db = set.db();
        {
            // Statements the server cannot prepare, inside a transaction.
            Transaction t(db);
            db.exec("CREATE TABLE T_Trap (k bigint PRIMARY KEY, v text)");
            db.lockTableForWriting("Stock");
            Transaction inner(db);
            QList<QVariantList> rows;
            for (int i = 1; i <= 2500; ++i)
                rows.append({i, QString::number(i)});
            db.insertRows("T_Trap", {"k", "v"}, rows);
            inner.commit();
            // Another statement while a result is being read loses no row.
            int read = 0;
            QSqlQuery q = db.run("SELECT k FROM T_Trap WHERE k > ? ORDER BY k", {0});
            while (q.next())
                read += db.value("SELECT v FROM T_Trap WHERE k = ?", {q.value(0)}).toInt() ==
                        q.value(0).toInt();
            QCOMPARE(read, 2500);
            t.commit();
        }
        // Keys come from RETURNING: an insert of no row gives 0, not the last key.
        QCOMPARE(db.insertKey("INSERT INTO Region (Region) VALUES (?)", {"东"}, "RID"), 1);
        QCOMPARE(db.insertKey("INSERT INTO Region (Region) SELECT Region FROM Region WHERE RID = ?",
                              {99}, "RID"),
                 0);
        QCOMPARE(db.insertKey("INSERT INTO Region (Region) VALUES (?)", {"西"}, "RID"), 2);
        // A failure inside a transaction: its commit refuses, nothing is saved.
        {
            Transaction t(db);
            db.exec("INSERT INTO Region (Region) VALUES ('南')");
            QVERIFY(kindOf([&] { db.exec("SELECT 1/0"); }) == DbError::Kind::Failed);
            QVERIFY(kindOf([&] { t.commit(); }) == DbError::Kind::Failed);
        }
        QCOMPARE(db.value("SELECT count(*) FROM Region").toInt(), 2);
        // Names compare without regard to ASCII case only, as in files,
        // whatever the server's own collation folds.
        db.exec("INSERT INTO Region (Region) VALUES ('Ａb')");
        for (const auto& [name, found] : {std::pair{"ＡB", 1}, {"ａb", 0}, {"东", 1}})
            QCOMPARE(db.value("SELECT count(*) FROM Region WHERE " + Database::caseless("Region") +
                                  "=" + Database::caseless("?"),
                              {name})
                         .toInt(),
                     found);
    }

    void serverErrorsHaveTheirKinds() {
        if (!test::onServer())
            QSKIP("server only");
        test::TestAccountSet set;
        Database& a = set.db();
        auto b = Database::open(set.path());
        QVERIFY(b);
        a.exec("INSERT INTO Stock (SID, PID, Num) VALUES (1, 1, 5)");
        // A refused value.
        try {
            a.exec("INSERT INTO Stock (SID, PID, Num) VALUES (1, 1, 6)");
            QFAIL("a second row of one pair was stored");
        } catch (const DbError& e) {
            QCOMPARE(e.kind(), DbError::Kind::Failed);
            QVERIFY(e.detail().contains("23505"));
        }
        // A row another operator holds longer than we wait: busy.
        {
            Transaction holder(a);
            a.lockRows("Stock", "ID", {1});
            Transaction waiter(*b);
            b->exec("SET LOCAL lock_timeout = '50ms'");
            QCOMPARE(kindOf([&] { b->lockRows("Stock", "ID", {1}); }), DbError::Kind::Busy);
        }
        // Two snapshots changing one row: the later one conflicts, and a
        // retried action runs again until it goes through.
        int runs = 0;
        const int num = a.retrying([&] {
            ++runs;
            Transaction t(a, Transaction::Isolation::SnapshotWrite);
            const int seen = a.value("SELECT Num FROM Stock WHERE ID = 1").toInt();
            if (runs == 1)
                b->exec("UPDATE Stock SET Num = Num + 1 WHERE ID = 1");
            a.exec("UPDATE Stock SET Num = ? WHERE ID = 1", {seen * 10});
            t.commit();
            return seen * 10;
        });
        QCOMPARE(runs, 2);
        QCOMPARE(num, 60);
        runs = 0;
        QCOMPARE(kindOf([&] {
                     a.retrying([&] {
                         ++runs;
                         throw DbError::fromSql(QSqlError("", "could not serialize",
                                                          QSqlError::StatementError, "40001"));
                     });
                 }),
                 DbError::Kind::Busy);
        QCOMPARE(runs, Database::maxAttempts);
        // A connection the server ends: said so, and the next action connects again.
        const QVariant pid = a.value("SELECT pg_backend_pid()");
        b->value("SELECT pg_terminate_backend(?)", {pid});
        QCOMPARE(kindOf([&] { a.value("SELECT 1"); }), DbError::Kind::Disconnected);
        QCOMPARE(a.value("SELECT Num FROM Stock WHERE ID = 1").toInt(), 60);
    }
};

QTEST_GUILESS_MAIN(TestServerDatabase)
#include "TestServerDatabase.moc"
