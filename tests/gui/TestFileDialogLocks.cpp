// The program keeps SQLite's locks on its open account set while its file
// dialogs list the folder the account set lies in. A dialog that opened the
// files to tell their type dropped every lock on them: the next process took
// the file for unused, folded and deleted its -wal, and every later save
// went into the deleted file, seen by no one and lost at exit.
#include "core/accounts/NewAccountSet.h"
#include "core/charts/ChartPicture.h"
#include "core/data/Backup.h"
#include "core/data/Database.h"
#include "core/data/OpenDatabases.h"
#include "core/grid/Grid.h"
#include "core/importexport/GridExport.h"
#include "core/importexport/ImportPreview.h"
#include "core/importexport/Importer.h"
#include "core/transactions/SaleStore.h"
#include "gui/widgets/QtDialogs.h"
#include "support/CliRunner.h"
#include "support/ScriptedDialogs.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTest>
#include <QTimer>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tl;

namespace {

// The process that holds a lock conflicting with a write lock on bytes
// [start, start + length) of a file, as another process sees it; 0 for none.
// POSIX locks belong to the process, so only a child can see ours.
pid_t lockHolder(const QString& path, off_t start, off_t length) {
    const QByteArray name = QFile::encodeName(path);
    int channel[2];
    if (::pipe(channel) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        // Only async-signal-safe calls between fork and _exit.
        pid_t holder = 0;
        const int fd = ::open(name.constData(), O_RDONLY);
        struct flock query {};
        query.l_type = F_WRLCK;
        query.l_whence = SEEK_SET;
        query.l_start = start;
        query.l_len = length;
        if (fd >= 0 && ::fcntl(fd, F_GETLK, &query) == 0 && query.l_type != F_UNLCK)
            holder = query.l_pid;
        [[maybe_unused]] const auto written = ::write(channel[1], &holder, sizeof holder);
        ::_exit(0);
    }
    ::close(channel[1]);
    pid_t holder = -1;
    if (::read(channel[0], &holder, sizeof holder) != sizeof holder)
        holder = -1;
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return holder;
}

// Whether this process holds SQLite's shared lock on the database file and
// on the "in use" byte of its index.
bool holdsLocks(const QString& path) {
    constexpr off_t kSharedFirst = 0x40000002, kSharedSize = 510, kShmInUse = 128;
    return lockHolder(path, kSharedFirst, kSharedSize) == ::getpid() &&
           lockHolder(path + "-shm", kShmInUse, 1) == ::getpid();
}

// Once the next file dialog is up, shows it the folder, waits until it has
// listed the account set there, lets the view fetch icons and types, and
// cancels it.
void listFolderThenCancel(const QString& folder, bool* listed) {
    QTimer::singleShot(0, [folder, listed] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return listFolderThenCancel(folder, listed);
        dialog->setDirectory(folder);
        auto* model = dialog->findChild<QFileSystemModel*>();
        auto* poll = new QTimer(dialog);
        QObject::connect(poll, &QTimer::timeout, dialog, [=] {
            if (!model->index(folder + "/test.lbk").isValid())
                return;
            poll->stop();
            *listed = true;
            QTimer::singleShot(300, dialog, &QDialog::reject);
        });
        poll->start(20);
        QTimer::singleShot(10000, dialog, &QDialog::reject);
    });
}

int salesListed(const test::CliRunner& cli, const QString& path) {
    const auto r = cli.run({"--set", path, "export", "sales"});
    return r.code == 0 ? r.out.count('\n') : -1;
}

} // namespace

class TestFileDialogLocks : public QObject {
    Q_OBJECT
private slots:
    void savesReachOtherProcessesAfterEveryFileDialog();
    void chosenFilesAreNeverTheOpenAccountSet();
};

void TestFileDialogLocks::savesReachOtherProcessesAfterEveryFileDialog() {
    test::TestAccountSet set;
    SaleStore::add(set.db(), test::sale(1));
    QVERIFY(holdsLocks(set.path()));
    QtDialogs real;
    Dialogs::install(&real);
    // Every file dialog of the program is one of these two.
    for (const bool save : {false, true}) {
        bool listed = false;
        listFolderThenCancel(set.folder(), &listed);
        const QString chosen = save ? real.saveFileName("导出表格", "所有文件 (*)")
                                    : real.openFileName("导入", "所有文件 (*.*)");
        QVERIFY(chosen.isEmpty());
        QVERIFY2(listed, "the dialog never listed the folder of the account set");
        QVERIFY(holdsLocks(set.path()));
    }
    Dialogs::install(nullptr);

    // A whole open and close in another process, then a save here that a
    // third process must see.
    const test::CliRunner cli;
    QCOMPARE(cli.run({"--set", set.path(), "verify"}).code, 0);
    const int before = salesListed(cli, set.path());
    SaleStore::add(set.db(), test::sale(2));
    QCOMPARE(salesListed(cli, set.path()), before + 1);
    QVERIFY(holdsLocks(set.path()));
}

// Importing from, exporting, saving a chart or a backup over, or making a new
// account set at the open account set or a companion of it is refused,
// without opening the file.
void TestFileDialogLocks::chosenFilesAreNeverTheOpenAccountSet() {
    test::ScriptedDialogs dialogs;
    test::TestAccountSet set;
    SaleStore::add(set.db(), test::sale(1));
    QVERIFY(QFile::link(set.path(), set.folder() + "/link.lbk"));
    Grid grid;
    grid.reset(2, 2, 1, 1);
    grid.setText(1, 1, "1");
    const QString refusal = OpenDatabases::refusal();
    for (const QString& own : {set.path(), set.path() + "-wal", set.path() + "-shm",
                               set.path() + "-journal", set.folder() + "/./link.lbk"}) {
        ImportRequest request;
        request.path = own;
        QCOMPARE(importRecords(set.db(), request).error, refusal);
        Grid preview;
        QCOMPARE(fillImportPreview(preview, own, {}), refusal);
        QCOMPARE(writeGridFile(grid, own, "表", Progress::silent()), ExportStatus::OpenDatabase);
        QString error;
        QVERIFY(!saveChartPicture(grid, "图", own, QSize(20, 20), 1.0, 0, &error));
        QCOMPARE(error, refusal);
        QVERIFY_THROWS_EXCEPTION(DbError, backupAccountSet(set.db(), own));
    }
    QCOMPARE(NewAccountSet().create("乙", set.path() + "-journal").outcome.message, refusal);
    QVERIFY(!QFile::exists(set.path() + "-journal"));
    // The open account set itself may be named again; its check reads nothing.
    QVERIFY(NewAccountSet().create("丙", set.path()).needsConfirmation);
    QVERIFY(!OpenDatabases::holds(set.folder() + "/test.lbk.csv"));
    QVERIFY(holdsLocks(set.path()));
    QCOMPARE(set.db().value("SELECT count(*) FROM Sale").toInt(), 1);
}

QTEST_MAIN(TestFileDialogLocks)
#include "TestFileDialogLocks.moc"
