#include "core/data/Backup.h"

#include "core/data/AccountSetCopy.h"
#include "core/data/Database.h"
#include "core/data/OpenDatabases.h"
#include "core/data/ServerAddress.h"
#include "core/support/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cstdio>

namespace tl {

namespace {

QString writeFailure(const QString& target) {
    return QStringLiteral("无法写入备份文件“%1”，请检查文件夹是否存在并且可以写入。")
        .arg(QDir::toNativeSeparators(target));
}

// A server's account set, copied row by row from one snapshot into a new
// file that keeps no journal beside it once closed.
void copyFromServer(const Database& db, const QString& file, const QString& target,
                    Progress& progress) {
    auto copy =
        Database::open(file, Database::OpenMode::CreateIfMissing, Database::Journal::Rollback);
    if (!copy)
        throw DbError::refused(writeFailure(target));
    Transaction snapshot(db, Transaction::Isolation::Snapshot);
    AccountSetCopy::copy(db, *copy, progress);
}

} // namespace

void backupAccountSet(const Database& db, const QString& target, Progress& progress) {
    if (OpenDatabases::family(target, db.path()) != OpenDatabases::Held::No)
        throw DbError::refused(
            QStringLiteral("不能把套帐备份到它自己的文件上，请另选一个文件名。"));
    if (OpenDatabases::holds(target))
        throw DbError::refused(OpenDatabases::refusal());
    const QFileInfo info(target);
    if (info.isDir() || !QFileInfo(info.absolutePath()).isDir())
        throw DbError::refused(writeFailure(target));

    // VACUUM INTO writes into a new or empty file: a unique empty one beside
    // the target, owner-only from the start.
    QString temp;
    {
        QTemporaryFile reserve(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                               QStringLiteral(".XXXXXX.tmp"));
        reserve.setAutoRemove(false);
        if (!reserve.open())
            throw DbError::refused(writeFailure(target));
        temp = reserve.fileName();
    }
    auto cleanup = qScopeGuard([&] { QFile::remove(temp); });

    ProgressCloser closer{progress};
    if (db.isServer()) {
        copyFromServer(db, temp, target, progress);
    } else {
        progress.show(QStringLiteral("正在备份套帐……"), 1);
        db.exec(QStringLiteral("VACUUM INTO ?"), {temp});
    }
    QFile::setPermissions(temp, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!syncToDisk(temp))
        throw DbError::refused(writeFailure(target));
    // rename(2) replaces an existing target in one step.
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) !=
        0)
        throw DbError::refused(writeFailure(target));
    cleanup.dismiss();
    syncToDisk(info.absolutePath()); // so the rename survives a power failure
    progress.step(1);
}

QString defaultBackupPath(const QString& accountSetPath, const QDateTime& when) {
    const QString stamp = QStringLiteral("-备份-") + when.toString(QStringLiteral("yyyyMMdd-HHmm"));
    ServerAddress server;
    if (ServerAddress::parse(accountSetPath, server)) {
        // No folder of its own on this PC: the documents, named after the database.
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            folder = QDir::homePath();
        return folder + QLatin1Char('/') + server.database + stamp + QStringLiteral(".lbk");
    }
    const QFileInfo info(accountSetPath);
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("lbk") : info.suffix();
    return info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + stamp +
           QLatin1Char('.') + suffix;
}

} // namespace tl
