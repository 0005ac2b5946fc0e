#pragma once

#include <QList>
#include <QString>

namespace tl {

class Database;
struct Session;

enum class ColumnType { Counter, Long, Double, Date, Text };

struct ColumnDef {
    QString name;
    ColumnType type;
};

struct TableDef {
    QString name;
    QList<ColumnDef> columns;

    const ColumnDef* column(const QString& name) const; // case-insensitive, as SQL is
    // The counter column that keys the rows; empty for a table without one.
    QString keyColumn() const;
};

// The one declaration of every table: the template, the upgrade, the record
// grids and the tests all read it.
class Schema {
public:
    static const QList<TableDef>& accountSetTables();
    static const TableDef* accountSetTable(const QString& name); // case-insensitive
    static const TableDef& registryTable();                      // Parameter.mdb's Account

    // CREATE TABLE text: counters become INTEGER PRIMARY KEY AUTOINCREMENT, text
    // compares without regard to case. For a server: identity keys, text
    // compared by its code, dates checked to be ISO text.
    static QString createSql(const TableDef& table, bool forServer = false);
    // CREATE INDEX IF NOT EXISTS texts of the declared indexes of one table,
    // or of every table when none is named.
    static QStringList indexSql(const QString& table = {});

    // The version of the account set's contents, kept in the file's
    // user_version: the upgrade steps that change data rather than tables run
    // once, for a file below it. 1: "备份套帐" granted to every operator who
    // holds "修改人员权限". 2: the Shop table of the slips (a file opened for
    // reading only goes without it, and prints no slips: it takes no number).
    // 3: Stock keyed by warehouse and product; several rows of one pair are
    // merged into one holding their sum (a file opened for reading only keeps
    // them, and its stock check reports them).
    static constexpr int version = 3;

    // Creates every table of an empty account set, at the current version,
    // and the preset operator "admin" / 730281 holding every right.
    static void createAccountSet(const Database& db);

    // Brings an older account set up to date: a missing Adjust table, a missing
    // ID counter on Stock or Adjust (existing rows get generated values), the
    // declared indexes, then the steps of each version the file is below
    // (left for a later login when the file is open for reading only). Tables
    // are found whatever their letter case. Running it on an up-to-date file
    // writes nothing. When it changes the rights of the session's operator,
    // the session gets them at once.
    static void upgrade(const Database& db, Session* session = nullptr);
    static bool needsUpgrade(const Database& db);
    // The version a server's account set was made at; 0 when it has none.
    static int serverVersion(const Database& db);
    // Marks the account set as made at the current version.
    static void writeVersion(const Database& db);

    // Creates the registry table when it is missing.
    static void ensureRegistry(const Database& db);

    // True when the file opens as a database and its Customer table (in any
    // letter case) has the columns CID, RID, Name, PC and Websit; never for
    // the template or the registry. Reads only.
    static bool isAccountSetFile(const QString& path);
    // True when the file opens as a database of any kind. Reads only.
    static bool isDatabaseFile(const QString& path);

    static const QString presetOperator;
    static const QString presetPassword;
};

} // namespace tl
