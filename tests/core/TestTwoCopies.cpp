// Two copies of the program on one account set, as two processes: this test
// program started again in its child mode plays the other copy.
#include "core/data/Backup.h"
#include "core/data/Schema.h"
#include "core/transactions/StockLedger.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <cstdio>

using namespace tl;

namespace {

// The other copy: takes the write lock with a saved region, reports
// "locked", keeps it for holdMs and commits.
int holdWriteLock(const QString& path, int holdMs) {
    auto db = Database::open(path, Database::OpenMode::Existing);
    if (!db)
        return 1;
    Transaction t(*db);
    db->exec("INSERT INTO Region (Region) VALUES ('另一个程序')");
    std::printf("locked\n");
    std::fflush(stdout);
    QThread::msleep(holdMs);
    t.commit();
    return 0;
}

struct OtherCopy {
    QProcess process;
    OtherCopy(const QString& path, int holdMs) {
        process.start(QCoreApplication::applicationFilePath(),
                      {"--hold-write-lock", path, QString::number(holdMs)});
    }
    bool waitLocked() {
        while (process.waitForReadyRead(10000)) {
            if (process.readAllStandardOutput().contains("locked"))
                return true;
        }
        return false;
    }
    ~OtherCopy() { process.waitForFinished(20000); }
};

} // namespace

class TestTwoCopies : public QObject {
    Q_OBJECT
private slots:
    void whileTheOtherCopyWrites();
};

// A backup takes what is committed, without waiting for the other writer.
// A save that waits longer than the busy timeout fails as busy and leaves
// nothing. A modify reads the stored record before it writes. Begun deferred,
// its read could not become a write while the other copy wrote: it failed at
// once with "database is locked" although a busy timeout was set. The busy
// hook hears of the wait and of its end, so a window can say why it is slow.
void TestTwoCopies::whileTheOtherCopyWrites() {
    test::TestAccountSet set;
    const Database& db = set.db();
    const qint64 id = SaleStore::add(db, test::sale(3));
    OtherCopy other(set.path(), 1500);
    QVERIFY(other.waitLocked());
    const QString target = set.folder() + "/备份.lbk";
    backupAccountSet(db, target);
    QCOMPARE(other.process.state(), QProcess::Running); // it did not wait
    QVERIFY(Schema::isAccountSetFile(target));
    auto copy = Database::open(target, Database::OpenMode::ReadOnly);
    QCOMPARE(test::queryRows(*copy, "SELECT (SELECT Num FROM Sale), (SELECT Num FROM Stock), "
                                    "(SELECT count(*) FROM Region)"),
             QString("3|-3|0"));

    db.setBusyTimeout(200);
    try {
        SaleStore::add(db, test::sale(1));
        QFAIL("saved while the other copy held the file");
    } catch (const DbError& e) {
        QCOMPARE(e.kind(), DbError::Kind::Busy);
        QCOMPARE(e.userText(), DbError::kindMessage(DbError::Kind::Busy));
        QVERIFY(e.detail().contains("locked"));
    }
    QCOMPARE(test::queryRows(db, "SELECT (SELECT count(*) FROM Sale), (SELECT Num FROM Stock)"),
             QString("1|-3"));
    db.setBusyTimeout(Database::defaultBusyTimeoutMs);

    QList<bool> told;
    Database::setBusyHook([&](bool waiting) { told << waiting; });
    QVERIFY(SaleStore::modify(db, id, test::sale(5)));
    Database::setBusyHook({});
    QCOMPARE(told, (QList<bool>{true, false}));
    StockLedger::rebuildStock(db, StockLedger::allDates, "T_ST1");
    QCOMPARE(StockLedger::stockQty(db, 1, 1), -5);
    QCOMPARE(db.value("SELECT count(*) FROM Region WHERE Region='另一个程序'").toInt(), 1);
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--hold-write-lock") == 0)
        return holdWriteLock(QString::fromLocal8Bit(argv[2]), atoi(argv[3]));
    TestTwoCopies test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestTwoCopies.moc"
