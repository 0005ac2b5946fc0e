#include "core/data/OpenDatabases.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringList>
#include <sys/stat.h>

namespace tl {

namespace {

QMutex& lock() {
    static QMutex m;
    return m;
}

// One entry per open connection: the same file may be open twice.
QStringList& openPaths() {
    static QStringList paths;
    return paths;
}

bool statOf(const QString& path, struct stat* st) {
    return ::stat(QFile::encodeName(path).constData(), st) == 0;
}

// The absolute path with its folder resolved, for files that need not exist.
QString nameKey(const QString& path) {
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : folder + QLatin1Char('/') + info.fileName();
}

} // namespace

void OpenDatabases::add(const QString& path) {
    QMutexLocker locker(&lock());
    openPaths().append(QFileInfo(path).absoluteFilePath());
}

void OpenDatabases::remove(const QString& path) {
    QMutexLocker locker(&lock());
    openPaths().removeOne(QFileInfo(path).absoluteFilePath());
}

OpenDatabases::Held OpenDatabases::family(const QString& path, const QString& database) {
    if (path.trimmed().isEmpty())
        return Held::No;
    struct stat chosen {};
    const bool exists = statOf(path, &chosen);
    const QString key = nameKey(path);
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        const QString own = database + QLatin1String(suffix);
        struct stat st {};
        if ((exists && statOf(own, &st) && st.st_dev == chosen.st_dev &&
             st.st_ino == chosen.st_ino) ||
            nameKey(own) == key)
            return *suffix ? Held::Companion : Held::Database;
    }
    return Held::No;
}

OpenDatabases::Held OpenDatabases::find(const QString& path) {
    QStringList open;
    {
        QMutexLocker locker(&lock());
        open = openPaths();
    }
    for (const QString& db : open) {
        if (const Held held = family(path, db); held != Held::No)
            return held;
    }
    return Held::No;
}

QString OpenDatabases::refusal() {
    return QStringLiteral("所选文件是正在使用的套帐或它旁边的临时文件（-wal、-shm），"
                          "不能用于此操作，请另选一个文件。");
}

} // namespace tl
