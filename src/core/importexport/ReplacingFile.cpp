#include "importexport/ReplacingFile.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tl {

namespace {

// The mode a new file gets from open(2): rw for everyone minus the umask.
QFileDevice::Permissions newFilePermissions() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = 0666 & ~mask;
    QFileDevice::Permissions p;
    if (mode & S_IRUSR)
        p |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if (mode & S_IWUSR)
        p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (mode & S_IRGRP)
        p |= QFileDevice::ReadGroup;
    if (mode & S_IWGRP)
        p |= QFileDevice::WriteGroup;
    if (mode & S_IROTH)
        p |= QFileDevice::ReadOther;
    if (mode & S_IWOTH)
        p |= QFileDevice::WriteOther;
    return p;
}

bool syncToDisk(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

ReplacingFile::ReplacingFile(const QString& target) {
    // Writing through a symbolic link replaces the file it points to, not the link.
    const QFileInfo info(target);
    m_target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
}

ReplacingFile::~ReplacingFile() {
    if (!m_committed && !m_temp.fileName().isEmpty())
        m_temp.remove();
}

ReplacingFile::Result ReplacingFile::open() {
    const QFileInfo info(m_target);
    const bool exists = info.exists();
    if (exists && (info.isDir() || !info.isWritable()))
        return Result::CannotReplace;
    // Hidden, and unique, so that neither the operator nor a second export
    // in the same folder trips over it.
    m_temp.setFileTemplate(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                           QStringLiteral(".XXXXXX"));
    m_temp.setAutoRemove(false); // the destructor decides
    if (!m_temp.open())
        return exists ? Result::CannotReplace : Result::WriteFailed;
    return Result::Done;
}

ReplacingFile::Result ReplacingFile::commit() {
    if (m_temp.fileName().isEmpty())
        return Result::WriteFailed;
    if (m_temp.isOpen()) {
        if (!m_temp.flush())
            return Result::WriteFailed;
        m_temp.close();
        if (m_temp.error() != QFileDevice::NoError)
            return Result::WriteFailed;
    }
    const QString temp = m_temp.fileName();
    if (!syncToDisk(temp))
        return Result::WriteFailed;
    const QFileInfo old(m_target);
    QFile::setPermissions(temp, old.exists() ? QFile::permissions(m_target) : newFilePermissions());
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(m_target).constData()) !=
        0)
        return old.exists() ? Result::CannotReplace : Result::WriteFailed;
    m_committed = true;
    // The new name is on disk only once the folder is.
    syncToDisk(old.absolutePath());
    return Result::Done;
}

} // namespace tl
