#include "core/support/Files.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tl {

QString unreadableReason(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return QStringLiteral("这是一个文件夹，不是文件");
        if (::access(name.constData(), R_OK) == 0)
            return {};
    } else if (errno == ENOENT) {
        return {};
    }
    if (errno == EACCES || errno == EPERM)
        return QStringLiteral(
            "没有读取权限（文件或它所在的文件夹属于其他用户，或权限不许本用户读取）");
    return qt_error_string(errno);
}

bool copyFileReplacing(const QString& source, const QString& target) {
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
        return false;
    // QSaveFile writes a temporary file of its own unique name beside the
    // target, syncs it and renames it over the target: the old file stays
    // whole until the new one is complete, and no other file is touched.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            return false;
        }
    }
    if (in.error() != QFileDevice::NoError) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

bool syncToDisk(const QString& path) {
    // O_RDONLY opens a folder too; fsync of a folder writes its entries.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace tl
