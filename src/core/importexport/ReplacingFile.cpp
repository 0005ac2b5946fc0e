#include "core/importexport/ReplacingFile.h"

#include "core/support/Files.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace tl {

namespace {

// The mode a new file gets from open(2): rw for everyone minus the umask.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The permission bits the replaced file had, as they are on disk: Qt's
// permissions() reports what the current user may do, and the superuser may
// write anything, so a read-only file would come back writable.
mode_t modeToKeep(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return newFileMode();
    return st.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO);
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
    // A read-only file is replaced as any other: the folder decides, as it
    // would for deleting the file, and the new file keeps the old mode.
    if (exists && info.isDir())
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
    // Only now, once written: a read-only mode on the temporary file would
    // have kept its writer out.
    ::chmod(QFile::encodeName(temp).constData(),
            old.exists() ? modeToKeep(m_target) : newFileMode());
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(m_target).constData()) !=
        0)
        return old.exists() ? Result::CannotReplace : Result::WriteFailed;
    m_committed = true;
    // The new name is on disk only once the folder is.
    syncToDisk(old.absolutePath());
    return Result::Done;
}

} // namespace tl
