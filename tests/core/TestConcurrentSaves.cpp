#include "core/importexport/Importer.h"
#include "core/masterdata/Lookups.h"
#include "core/masterdata/MasterRecord.h"
#include "core/transactions/BuyStore.h"
#include "core/transactions/RecordDeletion.h"
#include "core/transactions/RecordStore.h"
#include "core/transactions/StockLedger.h"
#include "core/transactions/TransferStore.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <optional>
#include <poll.h>

using namespace tl;

namespace {

constexpr int kOperators = 4;
constexpr int kActions = 250;

// A recent record of the table, often another operator's; 0 when none.
qint64 someRecord(const Database& db, const char* table, QRandomGenerator& rnd) {
    return db
        .value(QString("SELECT ID FROM %1 ORDER BY ID DESC LIMIT 1 OFFSET ?").arg(table),
               {rnd.bounded(4)})
        .toLongLong();
}

// One random action of an operator, as the windows would start it.
void act(const Database& db, QRandomGenerator& rnd, const QString& file) {
    const int sid = 1 + rnd.bounded(2), pid = 1 + rnd.bounded(3);
    const double num = 1 + rnd.bounded(9);
    const BuyInput b{pid, 1, 1, sid, 5, num, 0, QDate(2009, 2, 4), {}};
    const TransferInput t{sid, 3 - sid, pid, num, b.date, {}}; // either way between two
    const char* table = std::array{"Sale", "Buy", "Adjust"}[rnd.bounded(3)];
    const QByteArray csv =
        QString("h\n1,P%1,,甲库,,,%2\n2,P%1,,乙库,,,-%2\n").arg(pid).arg(num).toUtf8();
    const int what = rnd.bounded(8);
    if (what == 0)
        SaleStore::add(db, test::sale(num, sid, pid));
    else if (what == 1)
        BuyStore::add(db, b);
    else if (what == 2)
        TransferStore::add(db, t);
    else if (what == 3)
        SaleStore::modify(db, someRecord(db, "Sale", rnd), test::sale(num, sid, pid), nullptr);
    else if (what == 4)
        TransferStore::modify(db, someRecord(db, "Adjust", rnd), t, nullptr);
    else if (what < 7)
        deleteRecords(db, table, "ID", {someRecord(db, table, rnd), someRecord(db, table, rnd)});
    else if (ImportRequest r; !importRecords(db, (r.path = test::writeFile(file, csv), r)).ok)
        throw DbError::failed(file);
}

// Stock and what the records give, zeros left out (a pair whose records
// are all gone keeps a row of 0 in Stock).
QString balances(const Database& db, const QString& table) {
    return test::queryRows(db, QString("SELECT SID, PID, Num FROM %1 WHERE Num<>0 "
                                       "ORDER BY SID, PID")
                                   .arg(table));
}

// A process of the test. An operator adds the names everyone adds at once,
// then acts at random, and prints its reruns, deadlocks and failures. The
// rebuilder rebuilds Stock until told to stop; every second time it first
// looks, in the rebuild's own snapshot, whether Stock already was what the
// records give (a lost movement would show there before the rebuild repairs
// it), and prints its rebuilds and the differences found.
int runProcess(const QString& role, const QString& address, int seed) {
    const std::unique_ptr<Database> db = Database::open(address);
    if (!db)
        return 2;
    int rebuilds = 0, differences = 0, failures = 0;
    for (pollfd told{0, POLLIN, 0}; role == "--rebuild" && !poll(&told, 1, 0); ++rebuilds) {
        std::optional<Transaction> t;
        if (rebuilds % 2) {
            t.emplace(*db, Transaction::Isolation::SnapshotWrite);
            db->lockTableForRewriting("Stock");
        }
        const QString stored = balances(*db, "Stock");
        StockLedger::rebuildStock(*db, StockLedger::allDates, "T_Stock");
        differences += t && stored != balances(*db, "T_Stock");
        if (t)
            t->commit();
    }
    if (role == "--rebuild") {
        std::printf("%d %d\n", rebuilds, differences);
        return 0;
    }
    char go[8];
    std::fgets(go, sizeof go, stdin); // every operator starts on the same word
    QRandomGenerator rnd{quint32(seed)};
    QTemporaryDir dir;
    for (int i = -10; i < kActions; ++i) {
        try {
            if (i >= 0) {
                act(*db, rnd, dir.filePath(QString("%1.csv").arg(i)));
                continue;
            }
            findOrCreate(*db, Master::Customer, QString("同名客户%1").arg(i));
            const MasterInput account{0, {{0, QString("同名账号%1").arg(i)}}, {}};
            saveMasterRecord(*db, test::adminSession(), MasterTable::Account, account);
        } catch (const DbError& e) {
            ++failures;
            std::fprintf(stderr, "%s\n", qPrintable(e.userText() + e.detail()));
        }
    }
    std::printf("%d %d %d\n", Database::retries(), Database::serverErrors("40P01"), failures);
    return 0;
}

} // namespace

class TestConcurrentSaves : public QObject {
    Q_OBJECT
private slots:
    void operatorsSavingAtOnceLoseNothing() {
        if (!test::onServer())
            QSKIP("several operators at once need a server");
        test::TestAccountSet set;
        const Database& db = set.db();
        findOrCreate(db, Master::Storage, "甲库");
        findOrCreate(db, Master::Storage, "乙库");
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int i = 0; i <= kOperators; ++i) {
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->start(
                QCoreApplication::applicationFilePath(),
                {i ? "--operator" : "--rebuild", set.path(), QString::number(i)});
            QVERIFY(processes.back()->waitForStarted());
        }
        for (size_t i = 1; i < processes.size(); ++i) {
            processes[i]->write("go\n");
            processes[i]->waitForBytesWritten();
        }
        QElapsedTimer clock;
        clock.start();
        int retries = 0, deadlocks = 0, failures = 0;
        QByteArray said;
        for (size_t i = 1; i < processes.size(); ++i) {
            QVERIFY(processes[i]->waitForFinished(120000));
            const QList<QByteArray> n =
                processes[i]->readAllStandardOutput().simplified().split(' ');
            QCOMPARE(n.size(), 3);
            retries += n[0].toInt(), deadlocks += n[1].toInt(), failures += n[2].toInt();
            said += processes[i]->readAllStandardError();
        }
        const qint64 ms = clock.elapsed();
        processes[0]->write("stop\n");
        QVERIFY(processes[0]->waitForFinished(60000));
        const QList<QByteArray> rebuilt =
            processes[0]->readAllStandardOutput().simplified().split(' ');
        QCOMPARE(rebuilt.size(), 2);
        qInfo("%d actions, %d retries (%.2f %%), %d rebuilds, %lld ms", kOperators * kActions,
              retries, 100.0 * retries / (kOperators * kActions), rebuilt[0].toInt(), ms);

        // No movement lost or doubled: Stock is what the records give, at
        // every second rebuild and at the end.
        QCOMPARE(rebuilt[1].toInt(), 0);
        StockLedger::rebuildStock(db, RecordStore::lastDate, "T_Check");
        QCOMPARE(balances(db, "Stock"), balances(db, "T_Check"));
        // Names added by everyone at once exist once.
        QCOMPARE(test::rowCount(db, "Customer WHERE Name LIKE '同名客户%'"), 10);
        QCOMPARE(test::rowCount(db, "Account WHERE Name LIKE '同名账号%'"), 10);
        QCOMPARE(test::rowCount(db, "Product WHERE Name LIKE 'P%'"), 3);
        QCOMPARE(deadlocks, 0);
        QVERIFY2(failures == 0, said.constData());
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && argv[1][0] == '-')
        return runProcess(argv[1], QString::fromLocal8Bit(argv[2]), atoi(argv[3]));
    TestConcurrentSaves test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestConcurrentSaves.moc"
