#pragma once

#include <QString>

namespace tl {

// Copies source over target (replacing it), through a temporary file of a
// unique name that is renamed over the target once complete. False, leaving
// the target as it was, when the source does not exist or the copy fails.
// The copy is readable and writable by its owner only.
bool copyFileReplacing(const QString& source, const QString& target);
// Flushes a file, or a folder's entries (so that a rename in it survives a
// power failure), to the disk; false when it cannot be opened or flushed.
bool syncToDisk(const QString& path);
// Why this user cannot read the existing file at path, in the operator's
// words ("没有读取权限…"); empty when it can be read (or does not exist).
// Asks the file system only: no descriptor is opened, so no lock is lost.
QString unreadableReason(const QString& path);

} // namespace tl
