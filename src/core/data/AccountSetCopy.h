#pragma once

#include "core/support/Progress.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace tl {

class Database;

// A value of an account-set file that the other engine would refuse or
// store differently: the copy stops before anything is written.
struct CopyProblem {
    QString table;
    qint64 key = 0; // the record's key
    QString column;
    QString value; // as far as it can be shown
    QString reason;
};

// Copying a whole account set between the engines: a file onto an empty
// database on a server, or a server's account set into a new file. Both
// databases hold the declared tables (Schema::accountSetTables) afterwards,
// with the same rows under the same keys, the declared indexes, key counters
// that continue past every key the source gave out, and the version.
class AccountSetCopy {
public:
    // What in the source would not survive the copy: a value whose stored
    // type does not fit its declared column ("9.9元" in a number column), a
    // date that is not ISO text, text that is not UTF-8 or holds a NUL, two
    // Stock rows of one warehouse and product, operators whose names differ
    // only by letter case. A server keeps its columns to their types, so
    // only a file can hold them. Reads only; call inside the read
    // transaction the copy runs in.
    static QList<CopyProblem> problems(const Database& source);

    // True when the database holds no table at all.
    static bool isEmpty(const Database& db);

    // Copies every declared table from source into the empty target in one
    // transaction of the target: tables, rows (many to a statement), then
    // indexes, counters and version; a server's tables are analyzed after.
    // Run inside one read transaction of the source, so that the copy is one
    // moment of it. Throws DbError; the target then holds nothing new.
    static void copy(const Database& source, const Database& target,
                     Progress& progress = Progress::silent());

    // Compares the two databases table by table: the number of rows, the
    // greatest key and the sum of every number column (within a relative
    // 1e-9, as the engines add in different orders). Returns a line for
    // each difference; empty when they agree.
    static QStringList differences(const Database& source, const Database& target);

    // Rows written to one statement on a server; a file takes them one by one.
    static constexpr int rowsPerStatement = 1000;
};

} // namespace tl
