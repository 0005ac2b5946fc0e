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
#include <cstdio>
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
void act(const Database& db, QRandomGenerator& rnd, const QTemporaryDir& dir, int step) {
    const int sid = 1 + rnd.bounded(2), pid = 1 + rnd.bounded(3);
    const double num = 1 + rnd.bounded(9);
    BuyInput b{pid, 1, 1, sid, 5, num, 0, QDate(2009, 2, 4), {}};
    // Between the same two warehouses, either way.
    TransferInput t{sid, 3 - sid, pid, num, b.date, {}};
    static const char* tables[] = {"Sale", "Buy", "Adjust"};
    switch (rnd.bounded(8)) {
    case 0:
        SaleStore::add(db, test::sale(num, sid, pid));
        break;
    case 1:
        BuyStore::add(db, b);
        break;
    case 2:
        TransferStore::add(db, t);
        break;
    case 3:
        SaleStore::modify(db, someRecord(db, "Sale", rnd), test::sale(num, sid, pid), nullptr);
        break;
    case 4:
        TransferStore::modify(db, someRecord(db, "Adjust", rnd), t, nullptr);
        break;
    case 5:
    case 6: {
        const char* table = tables[rnd.bounded(3)];
        deleteRecords(db, table, "ID", {someRecord(db, table, rnd), someRecord(db, table, rnd)});
        break;
    }
    default: {
        ImportRequest r;
        r.path = test::writeFile(
            dir.filePath(QString("%1.csv").arg(step)),
            QString("h\n1,P%1,,甲库,,,%2\n2,P%1,,乙库,,,-%2\n").arg(pid).arg(num).toUtf8());
        const ImportResult done = importRecords(db, r);
        if (!done.ok)
            throw DbError::failed(done.error);
    }
    }
}

// An operator's process: the names everyone adds at once, then random
// actions. Prints its retries, deadlocks and failures.
int runOperator(const QString& address, int seed) {
    const std::unique_ptr<Database> db = Database::open(address);
    if (!db)
        return 2;
    char go[8];
    if (!std::fgets(go, sizeof go, stdin)) // every operator starts on the same word
        return 2;
    QRandomGenerator rnd{quint32(seed)};
    QTemporaryDir dir;
    int failures = 0;
    for (int i = -10; i < kActions; ++i) {
        try {
            if (i < 0) {
                findOrCreate(*db, Master::Customer, QString("同名客户%1").arg(-i));
                MasterInput in;
                in.boxes = {{0, QString("同名账号%1").arg(-i)}};
                saveMasterRecord(*db, test::adminSession(), MasterTable::Account, in);
            } else {
                act(*db, rnd, dir, i);
            }
        } catch (const DbError& e) {
            ++failures;
            std::fprintf(stderr, "%s\n", qPrintable(e.userText() + e.detail()));
        }
    }
    std::printf("%d %d %d\n", Database::retries(), Database::serverErrors("40P01"), failures);
    return 0;
}

// Balances by (SID, PID), zeros left out: a pair whose records are all
// deleted keeps a row of 0 in Stock.
QMap<std::pair<int, int>, int> balances(const Database& db, const QString& table) {
    QMap<std::pair<int, int>, int> out;
    QSqlQuery q = db.run(QString("SELECT SID, PID, Num FROM %1").arg(table));
    while (q.next())
        if (q.value(2).toDouble() != 0)
            out[{q.value(0).toInt(), q.value(1).toInt()}] = q.value(2).toInt();
    return out;
}

// Rebuilds Stock until told to stop. Every second time it first looks, in
// the rebuild's own snapshot, whether Stock already was what the records
// give: savers that lost or doubled a movement would show there before the
// rebuild repairs it. Prints the rebuilds and the differences found.
int runRebuilder(const QString& address) {
    const std::unique_ptr<Database> db = Database::open(address);
    if (!db)
        return 2;
    int rebuilds = 0, differences = 0;
    for (pollfd told{0, POLLIN, 0}; poll(&told, 1, 0) == 0; ++rebuilds) {
        if (rebuilds % 2 == 0) {
            StockLedger::rebuildStock(*db, StockLedger::allDates, "T_Stock");
            continue;
        }
        Transaction t(*db, Transaction::Isolation::SnapshotWrite);
        db->lockTableForRewriting("Stock");
        const auto stored = balances(*db, "Stock");
        StockLedger::rebuildStock(*db, StockLedger::allDates, "T_Stock");
        differences += stored != balances(*db, "T_Stock");
        t.commit();
    }
    std::printf("%d %d\n", rebuilds, differences);
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
        QCOMPARE(findOrCreate(db, Master::Storage, "甲库"), 1);
        QCOMPARE(findOrCreate(db, Master::Storage, "乙库"), 2);
        std::vector<std::unique_ptr<QProcess>> operators;
        for (int i = 0; i < kOperators; ++i) {
            operators.push_back(std::make_unique<QProcess>());
            operators.back()->start(QCoreApplication::applicationFilePath(),
                                    {"--operator", set.path(), QString::number(i + 1)});
            QVERIFY(operators.back()->waitForStarted());
        }
        for (auto& p : operators) {
            p->write("go\n");
            p->waitForBytesWritten();
        }
        // Stock is rebuilt over and over beside the savers, by a process of its own.
        QProcess rebuilder;
        rebuilder.start(QCoreApplication::applicationFilePath(), {"--rebuild", set.path()});
        QVERIFY(rebuilder.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        for (auto& p : operators)
            QVERIFY(p->waitForFinished(120000));
        const qint64 ms = clock.elapsed();
        rebuilder.write("stop\n");
        QVERIFY(rebuilder.waitForFinished(60000));
        QCOMPARE(rebuilder.exitCode(), 0);
        const QList<QByteArray> rebuilt = rebuilder.readAllStandardOutput().simplified().split(' ');
        QCOMPARE(rebuilt.size(), 2);
        const int rebuilds = rebuilt[0].toInt();
        int retries = 0, deadlocks = 0, failures = 0;
        for (auto& p : operators) {
            QCOMPARE(p->exitCode(), 0);
            const QList<QByteArray> counts = p->readAllStandardOutput().simplified().split(' ');
            QCOMPARE(counts.size(), 3);
            retries += counts[0].toInt();
            deadlocks += counts[1].toInt();
            failures += counts[2].toInt();
            if (const QByteArray said = p->readAllStandardError(); !said.isEmpty())
                qWarning("%s", said.constData());
        }
        qInfo("%d actions, %d retries (%.2f %%), %d rebuilds, %lld ms", kOperators * kActions,
              retries, 100.0 * retries / (kOperators * kActions), rebuilds, ms);

        // No movement lost or doubled: Stock is what the records give, at
        // every second rebuild and at the end.
        QCOMPARE(rebuilt[1].toInt(), 0);
        StockLedger::rebuildStock(db, RecordStore::lastDate, "T_Check");
        QCOMPARE(balances(db, "Stock"), balances(db, "T_Check"));
        // Names added by everyone at once exist once.
        QCOMPARE(test::rowCount(db, "Customer WHERE Name LIKE '同名客户%'"), 10);
        QCOMPARE(test::rowCount(db, "Account WHERE Name LIKE '同名账号%'"), 10);
        QCOMPARE(test::rowCount(db, "Product WHERE Name LIKE 'P%'"), 3);
        QCOMPARE(test::rowCount(db, "Customer WHERE Name='客户未知'"), 1);
        QCOMPARE(test::rowCount(db, "Storage"), 2);
        QCOMPARE(deadlocks, 0);
        QCOMPARE(failures, 0);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--operator") == 0)
        return runOperator(QString::fromLocal8Bit(argv[2]), atoi(argv[3]));
    if (argc == 3 && qstrcmp(argv[1], "--rebuild") == 0)
        return runRebuilder(QString::fromLocal8Bit(argv[2]));
    TestConcurrentSaves test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestConcurrentSaves.moc"
