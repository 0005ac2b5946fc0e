#pragma once

#include "core/data/AccountSetCopy.h"
#include "core/support/Progress.h"

#include <QList>
#include <QString>
#include <utility>

namespace tl {

class Database;

struct MigrationResult {
    // Not empty: the file holds data the server would refuse or change;
    // nothing was written on the server.
    QList<CopyProblem> problems;
    QList<std::pair<QString, qint64>> copied; // each table and its rows
};

// Moves an account set from its file to an empty database on a server, at
// the postgresql:// address. The file is read in one read transaction (it may
// be open elsewhere meanwhile) and never changed. It is checked first
// (AccountSetCopy::problems); then copied; then the copy is compared with the
// file (rows, keys, number sums, the stock check of both against their
// records) and the operator logs in to it with password. A copy that does not
// pass is removed from the server again.
//
// Refused (DbError::refused, nothing left on the server): the source is not a
// file at the current version, the server cannot be reached, its database
// already holds tables, the copy does not match.
MigrationResult migrateAccountSet(const Database& source, const QString& address,
                                  const QString& operatorName, const QString& password,
                                  Progress& progress = Progress::silent());

} // namespace tl
