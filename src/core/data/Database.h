#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <memory>
#include <stdexcept>

namespace tl {

// A statement that failed. The action that ran it stops; the window that
// started the action shows the text.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

class Transaction;

// One open SQLite file (an account set or the registry) on one connection that
// lives as long as this object. Every value goes into SQL as a bound value;
// table and column names come from the program and are checked as identifiers.
class Database {
public:
    enum class OpenMode { Existing, CreateIfMissing, ReadOnly };
    enum class Report { Messages, Quiet };

    // Opens a database file. On failure shows "无法建立数据库连接！" (the file
    // is missing or cannot be opened) or "数据库打开错误！" (it is not a database)
    // unless quiet, and returns null.
    static std::unique_ptr<Database> open(const QString& path, OpenMode mode = OpenMode::Existing,
                                          Report report = Report::Messages);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return m_path; }
    QSqlDatabase connection() const;

    // Runs a statement with bound values (positional "?" placeholders) and returns
    // the executed, forward-only query. Throws DbError on failure.
    QSqlQuery run(const QString& sql, const QVariantList& binds = {}) const;
    // Runs a statement and returns the number of rows it changed.
    int exec(const QString& sql, const QVariantList& binds = {}) const;
    // The first column of the first row, or an invalid QVariant when there is no row.
    QVariant value(const QString& sql, const QVariantList& binds = {}) const;
    qint64 lastInsertId() const;

    // Case-sensitive, as operators rely on: "adjust" is not "Adjust".
    bool tableExists(const QString& table) const;
    bool fieldExists(const QString& table, const QString& column) const;
    QStringList tableNames() const;
    QStringList columnNames(const QString& table) const;
    void dropTable(const QString& table) const;
    // Drops every table whose name begins with "T_".
    void dropWorkTables() const;

    // The field of the row whose key column equals key; an invalid QVariant when
    // no row matches (the field itself may be null).
    QVariant fieldById(const QString& table, const QVariant& key, const QString& keyColumn,
                       const QString& field) const;
    // The same as text; empty when no row matches or the field is null.
    QString nameById(const QString& table, const QVariant& key, const QString& keyColumn,
                     const QString& field) const;

    // A checked, quoted identifier for use in SQL text. Throws DbError for
    // anything that is not a plain name.
    static QString ident(const QString& name);

private:
    friend class Transaction;
    Database() = default;
    QString m_path;
    QString m_connectionName;
    int m_savepointDepth = 0;
};

// A unit of work that happens whole or not at all. Nests through savepoints;
// rolls back on destruction unless committed.
class Transaction {
public:
    explicit Transaction(const Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    QString m_name;
    bool m_done = false;
};

} // namespace tl
