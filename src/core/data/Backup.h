#pragma once

#include "core/support/Progress.h"

#include <QDateTime>
#include <QString>

namespace tl {

class Database;

// Writes a consistent copy of an open account set to target, at any moment,
// even while this or another copy of the program is saving: SQLite's
// VACUUM INTO reads one snapshot of the file and its WAL (work a plain file
// copy would miss) into a temporary file of a unique name beside target,
// which is synced and then renamed over target. Until that rename target is
// untouched; a failure leaves no temporary file behind. The copy is one
// self-contained file (no -wal beside it), readable and writable by its owner
// only, and opens as an account set like any other. An account set on a
// server is copied table by table from one snapshot of it into the new file.
//
// Refused with DbError::refused (nothing written): target names the open
// account set itself or one of its -wal/-shm files. Failures of the engine or
// the disk throw DbError with the Chinese message of their kind (disk full,
// busy, ...) or "无法写入备份文件…". progress shows one step while it runs.
// Works on a read-only account set too; call it outside any Transaction.
void backupAccountSet(const Database& db, const QString& target,
                      Progress& progress = Progress::silent());

// A file name for a backup of the account set at path taken at when:
// "<folder>/<name>-备份-20261206-2301.lbk"; for an account set on a server,
// the documents folder and the database's name.
QString defaultBackupPath(const QString& accountSetPath, const QDateTime& when);

} // namespace tl
