#include "core/data/AccountSetCopy.h"
#include "core/data/Backup.h"
#include "core/data/Schema.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QDir>

using namespace tl;

class TestBackup : public QObject {
    Q_OBJECT
private slots:
    void refusalsWriteNothingCopyHoldsTheWal() {
        test::TestAccountSet set;
        const Database& db = set.db();
        const bool file = !test::onServer();
        // Refusals write nothing.
        const QByteArray before = file ? test::readFile(set.path()) : QByteArray();
        const QStringList own =
            file ? QStringList{set.path(), set.path() + "-wal", set.folder() + "/./test.lbk"}
                 : QStringList();
        for (const QString& path : own) {
            try {
                backupAccountSet(set.db(), path);
                QFAIL("backed up over the account set itself");
            } catch (const DbError& e) {
                QCOMPARE(e.kind(), DbError::Kind::Refused);
            }
        }
        QVERIFY_THROWS_EXCEPTION(
            DbError, backupAccountSet(set.db(), set.folder() + "/no/such/folder/x.lbk"));
        if (file) {
            QCOMPARE(test::readFile(set.path()), before);
            QCOMPARE(QDir(set.folder()).entryList(QDir::Files | QDir::Hidden).size(), 3);
        }

        // A file copied while the program runs lacks the work still in its -wal file.
        SaleStore::add(db, test::sale(4));
        QVERIFY(!file || QFileInfo(set.path() + "-wal").size() > 0);

        const QString target = set.folder() + "/备份.lbk";
        test::writeFile(target, "an older backup");
        backupAccountSet(db, target);

        QVERIFY(Schema::isAccountSetFile(target));
        QVERIFY(!QFile::exists(target + "-wal"));
        QCOMPARE(QFile::permissions(target) & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                 QFileDevice::Permissions());
        auto copy = Database::open(target, Database::OpenMode::ReadOnly);
        QCOMPARE(copy->value("SELECT Num FROM Sale").toDouble(), 4.0);
        QCOMPARE(copy->value("SELECT Num FROM Stock").toDouble(), -4.0);
        // Its tables, key of Stock and version are those of a file the program made.
        QVERIFY(!Schema::needsUpgrade(*copy));
        QCOMPARE(AccountSetCopy::differences(db, *copy), QStringList());
        // Nothing but the account set, its WAL files and the backup lies there.
        QStringList files = QDir(set.folder()).entryList(QDir::Files | QDir::Hidden);
        files.removeIf([](const QString& f) { return f.startsWith("test.lbk"); });
        QCOMPARE(files, QStringList{"备份.lbk"});
    }

    void serverSetsAreBackedUpAmongTheDocuments() {
        const QString path = defaultBackupPath("postgresql://tl@shop-pc:5432/shop?sslmode=prefer",
                                               QDateTime({2026, 12, 6}, {23, 1}));
        QVERIFY2(path.endsWith("/shop-备份-20261206-2301.lbk") && QFileInfo(path).isAbsolute() &&
                     QFileInfo(QFileInfo(path).path()).isDir(),
                 qPrintable(path));
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "TestBackup.moc"
