#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <stdexcept>

namespace tl {

// A statement that failed, or an action the data refuses. The action that
// ran it stops; the window that started the action shows userText(), a
// Chinese text for the operator, and keeps detail() (the engine's own words
// and error code, never the SQL text) behind a details button. Engine
// failures are told apart by kind: another copy holding the file, a file
// that cannot be written, a full disk, a damaged file.
class DbError : public std::runtime_error {
public:
    enum class Kind {
        Failed,   // any other failure; message() names the problem in Chinese
        Refused,  // a rule of the program said no; message() says why
        Busy,     // another copy of the program holds the file longer than we wait
        ReadOnly, // the file or its folder cannot be written
        DiskFull, // no room left on the disk
        Damaged,  // the file is not (or no longer) a sound database
        // On a database server: another operator's save crossed this one;
        // the whole action runs again (Database::retrying) before the
        // operator hears of it, and then as Busy.
        Conflict,
        Disconnected, // the connection to the server broke; nothing was saved
    };

    // Made only by the factories below, so that the kinds stay apart.
    // A refusal shown to the operator as it is.
    static DbError refused(const QString& message);
    // A failure described by the program itself (Kind::Failed): a bad date, a
    // file that could not be read.
    static DbError failed(const QString& message);
    // An engine failure of a known kind noticed before the engine was asked,
    // said with that kind's text.
    static DbError ofKind(Kind kind);
    // Classifies an engine error by its code. The detail keeps the engine's
    // words and code; the SQL text never reaches a message.
    static DbError fromSql(const QSqlError& error);

    Kind kind() const { return m_kind; }
    const QString& message() const { return m_message; }
    const QString& detail() const { return m_detail; }
    // The whole text for a message box: a failure the program described
    // itself is introduced by "数据库操作失败，本次操作未保存：".
    const QString& userText() const { return m_userText; }

    // The texts shown for the engine failures of each kind.
    static QString kindMessage(Kind kind);

private:
    explicit DbError(const QString& message);
    DbError(Kind kind, const QString& message, const QString& detail = QString());

    Kind m_kind = Kind::Failed;
    QString m_message;
    QString m_detail;
    QString m_userText;
};

class Transaction;

// One open account set (an SQLite file, or a database on a PostgreSQL server
// named by a postgresql:// address) or the registry file, on one connection
// that lives as long as this object. Every value goes into SQL as a bound
// value; table and column names come from the program and are checked as
// identifiers. The SQL the program writes is the same for both engines;
// what differs between them is handled here and nowhere else.
class Database {
public:
    enum class Engine { SQLite, PostgreSQL };

    // Inspect reads a file as it lies and leaves nothing beside it, for
    // telling what a file is before anything may change it. When nobody has
    // the file open (no -wal beside it) and no rollback is pending (no
    // -journal), the file alone is the database and is read as immutable: a
    // plain read-only connection to a WAL file would create a -wal and -shm
    // and leave them behind. Otherwise it reads as ReadOnly does.
    enum class OpenMode { Existing, CreateIfMissing, ReadOnly, Inspect };
    // Account sets run in WAL; the registry keeps a rollback journal so that
    // it stays one self-contained file, readable from a read-only folder.
    enum class Journal { Wal, Rollback };

    // Opens a database file; null when the file is missing, cannot be opened
    // or is not a database (the caller tells the operator). Existing and CreateIfMissing set the
    // journal mode; ReadOnly and Inspect change nothing in the file (a WAL
    // file in a folder we cannot write is read as it lies).
    // A server address (ServerAddress::isAddress) connects to the server
    // instead; the journal does not apply, and ReadOnly and Inspect make every
    // transaction read-only there.
    static std::unique_ptr<Database> open(const QString& path, OpenMode mode = OpenMode::Existing,
                                          Journal journal = Journal::Wal);

    // Why a connection to a server failed.
    enum class ConnectProblem {
        None,
        BadAddress,    // the address is not one (message says why)
        NeedsPassword, // the server wants a password and none is known
        WrongPassword, // the server refused the password
        Unreachable,   // no server answers, or it refused us for another reason
    };
    struct Connected {
        std::unique_ptr<Database> db;
        ConnectProblem problem = ConnectProblem::None;
        QString message; // Chinese, for the operator
        QString detail;  // the server's own words
    };
    static Connected connectServer(const QString& address, OpenMode mode = OpenMode::Existing);
    // A password the operator typed for a server, used for every connection
    // to that address until the program ends; never written anywhere.
    // An empty password forgets it.
    static void rememberServerPassword(const QString& address, const QString& password);

    Engine engine() const { return m_engine; }
    // On a server, names the operator in the server's list of sessions.
    void setOperatorName(const QString& name) const;
    bool isServer() const { return m_engine == Engine::PostgreSQL; }
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The file path, or the server address.
    const QString& path() const { return m_path; }
    QSqlDatabase connection() const;
    // Opened for reading only: every write to the file fails with
    // Kind::ReadOnly; work tables ("T_...") are created as temporary tables,
    // so reports still run.
    bool isReadOnly() const { return m_readOnly; }
    // How long a writer waits for another copy of the program (5 s by default)
    // before its transaction fails with Kind::Busy.
    static constexpr int defaultBusyTimeoutMs = 5000;
    void setBusyTimeout(int milliseconds) const;
    // Told when a statement has waited a moment for another copy of the
    // program (true) and again when that statement is done (false), so that a
    // window can say why it does not answer. One for the whole process; an
    // empty function removes it.
    using BusyHook = std::function<void(bool waiting)>;
    static void setBusyHook(BusyHook hook);

    // Runs a statement with bound values (positional "?" placeholders) and returns
    // the executed, forward-only query. Throws DbError on failure.
    QSqlQuery run(const QString& sql, const QVariantList& binds = {}) const;
    // Runs a statement and returns the number of rows it changed.
    int exec(const QString& sql, const QVariantList& binds = {}) const;
    // The first column of the first row, or an invalid QVariant when there is no row.
    QVariant value(const QString& sql, const QVariantList& binds = {}) const;
    // Runs an INSERT of one row and returns the key the row got in keyColumn;
    // 0 when the statement inserted nothing (an INSERT .. SELECT .. WHERE
    // that found no row). Keys start at 1.
    qint64 insertKey(const QString& sql, const QVariantList& binds, const QString& keyColumn) const;
    // Runs one statement once for each list of values, prepared once, all in
    // one transaction (a savepoint inside a running one): the rows change
    // together or not at all. Returns the number of rows changed.
    int execBatch(const QString& sql, const QList<QVariantList>& rows) const;

    // Inserts rows (values in the order of columns) into table, inside the
    // caller's transaction: on a server 1,000 rows per statement, since each
    // statement is a trip over the network; on a file one prepared statement
    // per row, which SQLite runs faster than long ones.
    void insertRows(const QString& table, const QStringList& columns,
                    const QList<QVariantList>& rows) const;

    // Text that compares and sorts without regard to the case of ASCII letters,
    // as operators expect of names: put around both sides of a comparison,
    // caseless("Name") + "=" + caseless("?"), and after ORDER BY. Other
    // letters compare by their code. Both engines fold ASCII letters only.
    static QString caseless(const QString& expression);

    // Locks that keep several operators on one server apart. On an SQLite
    // file every write transaction holds the whole file already, so these
    // do nothing there. Each must run inside a Transaction.
    // The rows of table whose keyColumn holds one of keys, in key order,
    // until the transaction ends: two operators changing one record take
    // turns, and the second sees what the first saved.
    void lockRows(const QString& table, const QString& keyColumn, QList<qint64> keys) const;
    // The whole table against every other writer (readers go on): for a
    // rebuild of Stock, and for rules over all operators (someone must keep
    // the right to grant rights).
    void lockTableForWriting(const QString& table) const;
    // The whole table against every other writer and every row lock on it
    // (readers go on): for rewriting a table from one snapshot, taken before
    // the transaction's first read.
    void lockTableForRewriting(const QString& table) const;
    // One of the program's own named locks, for rules checked before a
    // write (no two records of one name): number tells them apart.
    void lockRule(int number) const;

    // Runs a whole user action, and runs it again (up to 5 times in all,
    // after a short random wait) when the server gave it up because it
    // crossed another operator's save. The action must begin its own
    // transaction and ask nothing of the operator, since it may run twice.
    // Gives up with Kind::Busy.
    template <class Action> auto retrying(Action&& action) const -> decltype(action());
    static constexpr int maxAttempts = 5;
    // What this process met on servers so far: how often an action ran
    // again, and how often a statement failed with a given SQLSTATE
    // ("40P01": a deadlock). For load tests and diagnosis.
    static int retries();
    static int serverErrors(const QString& sqlState);

    // Case-sensitive unless asked otherwise: "adjust" is not "Adjust". The
    // engine itself ignores case in names, so a table that must be created
    // only when missing is looked for with Qt::CaseInsensitive.
    bool tableExists(const QString& table, Qt::CaseSensitivity cs = Qt::CaseSensitive) const;
    bool fieldExists(const QString& table, const QString& column) const;
    QStringList tableNames() const;
    QStringList columnNames(const QString& table) const;
    // An index of the account set by its name, in any letter case.
    bool indexExists(const QString& name) const;
    void dropTable(const QString& table) const;
    // Drops every table whose name begins with "T_", whatever follows
    // (files of older versions kept them). A server's work tables belong to
    // the connection and go with it.
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
    // Any name quoted for SQL text, embedded quotes doubled: for names read
    // from the file itself, which may hold blanks or Chinese letters.
    static QString quoted(const QString& name);

    // The statement as this connection runs it: work tables are temporary
    // tables of the connection; on a server, names the program quotes are
    // written as the server keeps them.
    QString adapted(const QString& sql) const;

private:
    friend class Transaction;
    friend class Statement;
    Database() = default;
    // A query prepared on this server connection for sql, kept for the next run.
    std::shared_ptr<QSqlQuery> preparedQuery(const QString& sql) const;
    // After a lost connection: connects again before the next statement.
    void reconnectIfLost() const;
    void setUpServerSession() const;
    void noteFailure(const QSqlError& error) const;
    static void pauseBeforeRetry(int attempt);
    void watchBusy() const;
    static int busyWait(void* self, int count);
    // Ends a wait the hook was told of.
    void busyDone() const;

    QString m_path;
    Engine m_engine = Engine::SQLite;
    QString m_connectionName;
    mutable QHash<QString, std::shared_ptr<QSqlQuery>> m_prepared;
    mutable bool m_lost = false;
    mutable bool m_aborted = false;
    mutable bool m_guardRows = false; // each refusable row in a savepoint of its own // a statement
                                      // failed in the server's transaction
    int m_savepointDepth = 0;
    bool m_readOnly = false;
    bool m_listed = false; // known to OpenDatabases
    mutable int m_busyTimeoutMs = defaultBusyTimeoutMs;
    mutable QElapsedTimer m_busyClock;
    mutable bool m_busyTold = false;
};

// One statement prepared once and run as often as needed, binding values by
// position: the way to write many rows. Every failure throws DbError.
class Statement {
public:
    Statement(const Database& db, const QString& sql);
    // Runs with these values; the query is then positioned before its first row.
    QSqlQuery& exec(const QVariantList& binds = {});
    // The last run's result as a query of its own to read from.
    QSqlQuery take();
    // As exec, but a row the engine refuses for its values (a constraint, a
    // value of the wrong type or size) returns false instead of throwing.
    // On a server a refused row would end the whole transaction: there the
    // first refusal fails the action as a Conflict, and the action, run
    // inside Database::retrying, runs again with each row in a savepoint of
    // its own.
    bool execUnlessRefused(const QVariantList& binds);
    int rowsAffected() const { return query().numRowsAffected(); }

private:
    bool run(const QVariantList& binds);
    QSqlQuery& query() const { return m_shared ? *m_shared : m_query; }

    const Database& m_db;
    mutable QSqlQuery m_query;
    // On a server: the connection's prepared query for this text.
    std::shared_ptr<QSqlQuery> m_shared;
    bool m_unprepared = false; // a server statement without values
    QString m_sql;
};

// A unit of work that happens whole or not at all. Inner ones nest through
// savepoints; rolls back on destruction unless committed.
// On a file, a Write one takes the write lock before its first read, so a
// second copy of the program writing meanwhile makes it wait (up to the busy
// timeout) instead of failing when its read turns into a write. On a server
// other operators write at the same time: a Write transaction sees each
// statement's latest committed rows and locks what it changes (lockRows).
class Transaction {
public:
    enum class Isolation {
        Write,
        // Every statement reads one snapshot of the data, taken at the first
        // one: a report whose parts agree. It writes only work tables.
        Snapshot,
        // A snapshot that also writes: the rebuild of Stock, which locks
        // Stock before its first read.
        SnapshotWrite,
    };
    explicit Transaction(const Database& db, Isolation isolation = Isolation::Write);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    QString m_name;
    bool m_done = false;
};

template <class Action> auto Database::retrying(Action&& action) const -> decltype(action()) {
    for (int attempt = 1;; ++attempt) {
        try {
            return action();
        } catch (const DbError& e) {
            // Inside an outer transaction the conflict belongs to the outer
            // action, which retries as a whole.
            if (e.kind() != DbError::Kind::Conflict || m_savepointDepth > 0)
                throw;
            if (attempt >= maxAttempts)
                throw DbError::ofKind(DbError::Kind::Busy);
        }
        pauseBeforeRetry(attempt);
    }
}

} // namespace tl
