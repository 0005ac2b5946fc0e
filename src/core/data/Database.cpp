#include "core/data/Database.h"

#include "core/data/OpenDatabases.h"
#include "core/data/SqlErrors.h"
#include "core/values/Numbers.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <sqlite3.h>

namespace tl {

namespace {
std::atomic<int> connectionCounter{0};

// A writer kept waiting this long is told to the busy hook; shorter waits
// pass unnoticed. It looks again every kBusyStepMs.
constexpr int kBusyNoticeMs = 200;
constexpr int kBusyStepMs = 20;

Database::BusyHook& busyHook() {
    static Database::BusyHook hook;
    return hook;
}

// SQLite's primary result codes, the low byte of an extended code.
enum SqliteCode {
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    IoErr = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    NotADb = 26,
};

int primaryCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1;
}

QString detailOf(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (!error.nativeErrorCode().isEmpty())
        text += QStringLiteral(" (SQLite %1)").arg(error.nativeErrorCode());
    return text;
}

const QString kPrefix = QStringLiteral("数据库操作失败，本次操作未保存：\n");

QString connectOptions(bool readOnly, bool uri) {
    QStringList options{
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(Database::defaultBusyTimeoutMs)};
    if (readOnly)
        options << QStringLiteral("QSQLITE_OPEN_READONLY");
    if (uri)
        options << QStringLiteral("QSQLITE_OPEN_URI");
    return options.join(QLatin1Char(';'));
}

// A read-only URI that tells SQLite the file cannot change under it: the only
// way to read a WAL file whose folder allows no -shm beside it.
QString immutableUri(const QString& path) {
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
           QStringLiteral("?immutable=1");
}
} // namespace

DbError::DbError(const QString& message)
    : std::runtime_error(message.toStdString()), m_kind(Kind::Failed), m_message(message),
      m_userText(kPrefix + message) {}

DbError::DbError(Kind kind, const QString& message, const QString& detail)
    : std::runtime_error((detail.isEmpty() ? message : detail).toStdString()), m_kind(kind),
      m_message(message), m_detail(detail), m_userText(message) {}

DbError DbError::refused(const QString& message) {
    return DbError(Kind::Refused, message);
}

DbError DbError::failed(const QString& message) {
    return DbError(message);
}

DbError DbError::ofKind(Kind kind) {
    return DbError(kind, kindMessage(kind));
}

QString DbError::kindMessage(Kind kind) {
    switch (kind) {
    case Kind::Busy:
        return QStringLiteral("套帐正被另一个程序（例如在另一处运行的本程序）使用，"
                              "等待超时。本次操作未保存，请稍后再试。");
    case Kind::ReadOnly:
        return QStringLiteral("套帐文件是只读的，不能保存修改。本次操作未保存。");
    case Kind::DiskFull:
        return QStringLiteral("磁盘已满，本次操作未保存。请腾出磁盘空间后再试。");
    case Kind::Damaged:
        return QStringLiteral("套帐文件已损坏，本次操作未保存。请用备份的套帐文件恢复。");
    case Kind::Refused:
    case Kind::Failed:
        break;
    }
    return QStringLiteral("数据库操作失败，本次操作未保存。");
}

DbError DbError::fromSql(const QSqlError& error) {
    const QString detail = detailOf(error);
    switch (primaryCode(error)) {
    case Busy:
    case Locked:
        return DbError(Kind::Busy, kindMessage(Kind::Busy), detail);
    case ReadOnly:
        return DbError(Kind::ReadOnly, kindMessage(Kind::ReadOnly), detail);
    case Full:
        return DbError(Kind::DiskFull, kindMessage(Kind::DiskFull), detail);
    case Corrupt:
    case NotADb:
        return DbError(Kind::Damaged, kindMessage(Kind::Damaged), detail);
    case IoErr:
        return DbError(Kind::Failed,
                       QStringLiteral("读写套帐文件时出错（磁盘或网络故障），本次操作未保存。"),
                       detail);
    case CantOpen:
        return DbError(Kind::Failed,
                       QStringLiteral("无法打开套帐文件或它旁边的临时文件，请检查文件是否被移走、"
                                      "文件夹是否可以写入。本次操作未保存。"),
                       detail);
    default:
        return DbError(Kind::Failed, kindMessage(Kind::Failed), detail);
    }
}

std::unique_ptr<Database> Database::open(const QString& path, OpenMode mode, Journal journal) {
    auto fail = [] { return std::unique_ptr<Database>(); };
    if (path.trimmed().isEmpty() || QFileInfo(path).isDir())
        return fail();
    const bool existed = QFileInfo::exists(path);
    if (!existed && mode != OpenMode::CreateIfMissing)
        return fail();
    const bool readOnly = mode == OpenMode::ReadOnly || mode == OpenMode::Inspect;
    const bool asItLies = mode == OpenMode::Inspect &&
                          !QFileInfo::exists(path + QStringLiteral("-wal")) &&
                          !QFileInfo::exists(path + QStringLiteral("-journal"));

    std::unique_ptr<Database> db(new Database);
    db->m_path = path;
    db->m_readOnly = readOnly;
    db->m_connectionName = QStringLiteral("tl_%1").arg(++connectionCounter);
    auto connect = [&](bool immutable) {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), db->m_connectionName);
        c.setDatabaseName(immutable ? immutableUri(path) : path);
        c.setConnectOptions(connectOptions(readOnly, immutable));
        return c.open();
    };
    // A file that is not SQLite opens lazily; the first read tells.
    auto probe = [&] {
        QSqlQuery q(db->connection());
        const bool ok = q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        return ok ? 0 : std::max(primaryCode(q.lastError()), 1);
    };
    // Listed before SQLite opens the file, so that nothing else in the
    // process opens it meanwhile.
    OpenDatabases::add(path);
    db->m_listed = true;
    if (!connect(asItLies))
        return fail();
    int problem = probe();
    // A WAL file in a folder we may not write: SQLite cannot make its index
    // beside it (READONLY_DIRECTORY or CANTOPEN) unless told it is immutable.
    if ((problem == CantOpen || problem == ReadOnly) && readOnly && !asItLies) {
        QSqlDatabase::database(db->m_connectionName, false).close();
        QSqlDatabase::removeDatabase(db->m_connectionName);
        if (!connect(true))
            return fail();
        problem = probe();
    }
    if (problem != 0)
        return fail();
    db->watchBusy();
    if (readOnly)
        return db;
    if (!existed)
        QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QSqlQuery pragma(db->connection());
    pragma.exec(journal == Journal::Wal ? QStringLiteral("PRAGMA journal_mode=WAL")
                                        : QStringLiteral("PRAGMA journal_mode=DELETE"));
    pragma.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    // These ran outside run(): a wait for another copy (the switch of journal
    // mode takes the file to itself) ends here, or the window would stay waiting.
    db->busyDone();
    return db;
}

Database::~Database() {
    if (!m_connectionName.isEmpty()) {
        {
            QSqlDatabase c = QSqlDatabase::database(m_connectionName, false);
            if (c.isOpen())
                c.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
    if (m_listed)
        OpenDatabases::remove(m_path);
}

QSqlDatabase Database::connection() const {
    return QSqlDatabase::database(m_connectionName, false);
}

void Database::setBusyTimeout(int milliseconds) const {
    m_busyTimeoutMs = std::max(milliseconds, 0);
}

void Database::setBusyHook(BusyHook hook) {
    busyHook() = std::move(hook);
}

void Database::watchBusy() const {
    // Our own handler instead of SQLite's busy timeout: it waits as long, and
    // tells the hook when the wait grows noticeable.
    const QVariant handle = connection().driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    if (sqlite3* h = *static_cast<sqlite3* const*>(handle.data()))
        sqlite3_busy_handler(h, &Database::busyWait, const_cast<Database*>(this));
}

int Database::busyWait(void* self, int count) {
    const auto* db = static_cast<const Database*>(self);
    if (count == 0)
        db->m_busyClock.start();
    const qint64 waited = db->m_busyClock.elapsed();
    if (waited >= db->m_busyTimeoutMs)
        return 0; // give up: the statement fails as busy
    if (!db->m_busyTold && waited >= kBusyNoticeMs && busyHook()) {
        db->m_busyTold = true;
        busyHook()(true);
    }
    QThread::msleep(
        static_cast<unsigned long>(std::min<qint64>(kBusyStepMs, db->m_busyTimeoutMs - waited)));
    return 1;
}

void Database::busyDone() const {
    if (!m_busyTold)
        return;
    m_busyTold = false;
    if (busyHook())
        busyHook()(false);
}

namespace {
// A read-only account set still shows reports: their work tables go to the
// connection's own temporary database, which SQLite finds before the file's
// tables by the same name and drops at close.
QString workTablesInTemp(const QString& sql) {
    static const QRegularExpression createWork(QStringLiteral("^\\s*CREATE\\s+TABLE\\s+(?=\"?T_)"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = createWork.match(sql);
    if (!m.hasMatch())
        return sql;
    return QStringLiteral("CREATE TEMP TABLE ") + sql.mid(m.capturedEnd());
}
} // namespace

QString Database::adapted(const QString& sql) const {
    return m_readOnly ? workTablesInTemp(sql) : sql;
}

Statement::Statement(const Database& db, const QString& sql) : m_db(db), m_query(db.connection()) {
    m_query.setForwardOnly(true);
    if (!m_query.prepare(db.adapted(sql)))
        throw DbError::fromSql(m_query.lastError());
}

bool Statement::run(const QVariantList& binds) {
    // Whether the statement runs or fails, a wait the hook was told of ends here.
    struct BusyEnd {
        const Database& db;
        ~BusyEnd() { db.busyDone(); }
    } busyEnd{m_db};
    for (int i = 0; i < binds.size(); ++i)
        m_query.bindValue(i, binds.at(i));
    return m_query.exec();
}

QSqlQuery& Statement::exec(const QVariantList& binds) {
    if (!run(binds))
        throw DbError::fromSql(m_query.lastError());
    return m_query;
}

bool Statement::execUnlessRefused(const QVariantList& binds) {
    if (run(binds))
        return true;
    if (refusesRecord(m_query.lastError()))
        return false;
    throw DbError::fromSql(m_query.lastError());
}

QSqlQuery Database::run(const QString& sql, const QVariantList& binds) const {
    Statement statement(*this, sql);
    return std::move(statement.exec(binds));
}

int Database::exec(const QString& sql, const QVariantList& binds) const {
    QSqlQuery q = run(sql, binds);
    return q.numRowsAffected();
}

QVariant Database::value(const QString& sql, const QVariantList& binds) const {
    QSqlQuery q = run(sql, binds);
    return q.next() ? q.value(0) : QVariant();
}

qint64 Database::insertKey(const QString& sql, const QVariantList& binds,
                           const QString& keyColumn) const {
    return value(sql + QStringLiteral(" RETURNING ") + ident(keyColumn), binds).toLongLong();
}

int Database::execBatch(const QString& sql, const QList<QVariantList>& rows) const {
    if (rows.isEmpty())
        return 0;
    Transaction t(*this);
    Statement statement(*this, sql);
    int changed = 0;
    for (const QVariantList& binds : rows) {
        statement.exec(binds);
        changed += statement.rowsAffected();
    }
    t.commit();
    return changed;
}

QString Database::caseless(const QString& expression) {
    // NOCASE folds ASCII letters only, which is what the columns declare.
    return expression + QStringLiteral(" COLLATE NOCASE");
}

QString Database::ident(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!plain.match(name).hasMatch())
        throw DbError::failed(QStringLiteral("无效的表名或字段名：%1").arg(name));
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString Database::quoted(const QString& name) {
    QString inner = name;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QStringList Database::tableNames() const {
    QStringList names;
    QSqlQuery q = run(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' "
        "ESCAPE '\\' ORDER BY name"));
    while (q.next())
        names << q.value(0).toString();
    return names;
}

bool Database::tableExists(const QString& table, Qt::CaseSensitivity cs) const {
    // The temporary tables count too: the work tables of a read-only file.
    const QString collation =
        cs == Qt::CaseSensitive ? QStringLiteral("BINARY") : QStringLiteral("NOCASE");
    return value(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=? "
                                "COLLATE %1 UNION ALL SELECT 1 FROM sqlite_temp_master WHERE "
                                "type='table' AND name=? COLLATE %1")
                     .arg(collation),
                 {table, table})
        .isValid();
}

QStringList Database::columnNames(const QString& table) const {
    QStringList names;
    QSqlQuery q = run(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table});
    while (q.next())
        names << q.value(0).toString();
    return names;
}

bool Database::fieldExists(const QString& table, const QString& column) const {
    return columnNames(table).contains(column, Qt::CaseSensitive);
}

void Database::dropTable(const QString& table) const {
    if (tableExists(table))
        exec(QStringLiteral("DROP TABLE ") + ident(table));
}

void Database::dropWorkTables() const {
    QStringList work;
    for (const QString& name : tableNames()) {
        if (name.startsWith(QStringLiteral("T_"), Qt::CaseSensitive))
            work << name;
    }
    if (work.isEmpty())
        return; // nothing to write, so a read-only account set closes quietly
    Transaction t(*this);
    for (const QString& name : work)
        exec(QStringLiteral("DROP TABLE ") + quoted(name));
    t.commit();
}

QVariant Database::fieldById(const QString& table, const QVariant& key, const QString& keyColumn,
                             const QString& field) const {
    QSqlQuery q = run(QStringLiteral("SELECT %1 FROM %2 WHERE %3=? LIMIT 1")
                          .arg(ident(field), ident(table), ident(keyColumn)),
                      {key});
    if (!q.next())
        return {};
    return q.value(0);
}

QString Database::nameById(const QString& table, const QVariant& key, const QString& keyColumn,
                           const QString& field) const {
    return toText(fieldById(table, key, keyColumn, field));
}

Transaction::Transaction(const Database& db) : m_db(const_cast<Database&>(db)) {
    const int depth = m_db.m_savepointDepth + 1;
    if (depth == 1) {
        // A read-only file takes no write lock; its reports write only their
        // temporary work tables, and any other write fails as read-only.
        m_db.exec(m_db.m_readOnly ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
    } else {
        m_name = QStringLiteral("sp%1").arg(depth);
        m_db.exec(QStringLiteral("SAVEPOINT ") + m_name);
    }
    m_db.m_savepointDepth = depth;
}

Transaction::~Transaction() {
    if (m_done)
        return;
    try {
        if (m_name.isEmpty()) {
            m_db.exec(QStringLiteral("ROLLBACK"));
        } else {
            m_db.exec(QStringLiteral("ROLLBACK TO ") + m_name);
            m_db.exec(QStringLiteral("RELEASE ") + m_name);
        }
    } catch (const DbError&) {
        // A destructor may not throw. A rollback fails when the engine has
        // already rolled the transaction back itself (a full disk, say), so
        // nothing is left to undo.
    }
    --m_db.m_savepointDepth;
}

void Transaction::commit() {
    m_db.exec(m_name.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ") + m_name);
    m_done = true;
    --m_db.m_savepointDepth;
}

} // namespace tl
