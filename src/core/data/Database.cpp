#include "core/data/Database.h"

#include "core/data/OpenDatabases.h"
#include "core/data/Schema.h"
#include "core/data/ServerAddress.h"
#include "core/data/SqlErrors.h"
#include "core/values/Numbers.h"

#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
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

// A server's errors carry a five-letter SQLSTATE; SQLite's are numbers of
// up to four digits.
bool isSqlState(const QString& code) {
    return code.size() == 5;
}

QString detailOf(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    const QString code = error.nativeErrorCode();
    if (!code.isEmpty())
        text +=
            (isSqlState(code) ? QStringLiteral(" (SQLSTATE %1)") : QStringLiteral(" (SQLite %1)"))
                .arg(code);
    return text;
}

// The server's error classes, as the program tells them to the operator.
DbError::Kind serverKind(const QSqlError& error) {
    using K = DbError::Kind;
    const QString code = error.nativeErrorCode();
    if (code == QLatin1String("40001") || code == QLatin1String("40P01"))
        return K::Conflict;
    if (code == QLatin1String("55P03") || code == QLatin1String("57014"))
        return K::Busy;
    if (code.startsWith(QLatin1String("08")) || code.startsWith(QLatin1String("57P")))
        return K::Disconnected;
    if (code == QLatin1String("25006") || code == QLatin1String("42501"))
        return K::ReadOnly;
    if (code == QLatin1String("53100"))
        return K::DiskFull;
    if (code == QLatin1String("XX001") || code == QLatin1String("XX002"))
        return K::Damaged;
    return K::Failed;
}

// A connection that broke says so only in words: libpq has no SQLSTATE for
// a server that went away mid-statement.
bool connectionBroke(const QSqlError& error) {
    const QString text = error.databaseText() + error.driverText();
    return text.contains(QLatin1String("server closed the connection")) ||
           text.contains(QLatin1String("no connection to the server")) ||
           text.contains(QLatin1String("connection to server")) ||
           text.contains(QLatin1String("terminating connection"));
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
    case Kind::Conflict:
        return QStringLiteral("另一位操作员同时修改了相同的数据，本次操作未保存，请再做一次。");
    case Kind::Disconnected:
        return QStringLiteral("与数据库服务器的连接中断了，本次操作未保存。"
                              "请检查网络，然后再做一次。");
    case Kind::Refused:
    case Kind::Failed:
        break;
    }
    return QStringLiteral("数据库操作失败，本次操作未保存。");
}

DbError DbError::fromSql(const QSqlError& error) {
    const QString detail = detailOf(error);
    if (isSqlState(error.nativeErrorCode()) || connectionBroke(error)) {
        const Kind kind = connectionBroke(error) ? Kind::Disconnected : serverKind(error);
        return DbError(kind, kindMessage(kind), detail);
    }
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

namespace {
QMutex passwordsMutex;
QHash<QString, QString>& serverPasswords() {
    static QHash<QString, QString> passwords;
    return passwords;
}

QString serverPassword(const QString& address) {
    QMutexLocker lock(&passwordsMutex);
    return serverPasswords().value(address.trimmed());
}

// How long a save waits for another operator's lock before it fails as busy,
// and how long a transaction may sit idle before the server ends it (a PC
// that hangs halfway must not block the others' saves for good).
const char* const kServerSettings[] = {
    "SET lock_timeout = '5s'",
    "SET idle_in_transaction_session_timeout = '60s'",
};
} // namespace

void Database::rememberServerPassword(const QString& address, const QString& password) {
    QMutexLocker lock(&passwordsMutex);
    if (password.isEmpty())
        serverPasswords().remove(address.trimmed());
    else
        serverPasswords().insert(address.trimmed(), password);
}

Database::Connected Database::connectServer(const QString& address, OpenMode mode) {
    Connected result;
    ServerAddress server;
    QString problem;
    if (!ServerAddress::parse(address, server, &problem)) {
        result.problem = ConnectProblem::BadAddress;
        result.message = problem;
        return result;
    }
    std::unique_ptr<Database> db(new Database);
    db->m_path = address.trimmed();
    db->m_engine = Engine::PostgreSQL;
    db->m_readOnly = mode == OpenMode::ReadOnly || mode == OpenMode::Inspect;
    db->m_connectionName = QStringLiteral("tl_%1").arg(++connectionCounter);
    QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), db->m_connectionName);
    if (!c.isValid()) {
        result.problem = ConnectProblem::Unreachable;
        result.message =
            QStringLiteral("本机缺少连接数据库服务器所需的组件（Qt 的 PostgreSQL 驱动），"
                           "请安装 libqt6sql6-psql。");
        return result;
    }
    c.setHostName(server.host);
    c.setPort(server.port);
    c.setDatabaseName(server.database);
    c.setUserName(server.user);
    const QString password = serverPassword(address);
    if (!password.isEmpty())
        c.setPassword(password);
    // The server notices a PC that vanished (cable pulled, sleep) within a
    // few minutes instead of keeping its locks for hours.
    QStringList options{QStringLiteral("keepalives=1"), QStringLiteral("keepalives_idle=60"),
                        QStringLiteral("connect_timeout=10")};
    for (const auto& [key, value] : server.options) {
        QString v = value;
        v.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
            .replace(QLatin1Char('\''), QStringLiteral("\\'"));
        options << key + QStringLiteral("='") + v + QLatin1Char('\'');
    }
    c.setConnectOptions(options.join(QLatin1Char(';')));
    if (!c.open()) {
        const QSqlError e = c.lastError();
        const QString words = e.databaseText() + QLatin1Char(' ') + e.driverText();
        result.detail = detailOf(e);
        if (words.contains(QLatin1String("no password supplied"))) {
            result.problem = ConnectProblem::NeedsPassword;
            result.message = QStringLiteral("数据库服务器要求输入密码。");
        } else if (words.contains(QLatin1String("password authentication failed"))) {
            result.problem = ConnectProblem::WrongPassword;
            result.message = QStringLiteral("数据库服务器不接受这个用户名或密码。");
        } else {
            result.problem = ConnectProblem::Unreachable;
            result.message =
                QStringLiteral("无法连接数据库服务器 %1:%2 上的数据库 %3。请检查服务器是否"
                               "开着、地址是否写对、网络是否通畅。")
                    .arg(server.host)
                    .arg(server.port)
                    .arg(server.database);
        }
        return result;
    }
    try {
        db->setUpServerSession();
    } catch (const DbError& e) {
        result.problem = ConnectProblem::Unreachable;
        result.message = e.userText();
        result.detail = e.detail();
        return result;
    }
    result.db = std::move(db);
    return result;
}

void Database::setUpServerSession() const {
    for (const char* setting : kServerSettings)
        exec(QLatin1String(setting));
    if (m_readOnly)
        exec(QStringLiteral("SET default_transaction_read_only = on"));
}

void Database::setOperatorName(const QString& name) const {
    if (!isServer())
        return;
    // Shows who is connected in the server's own list of sessions.
    value(QStringLiteral("SELECT set_config('application_name', ?, false)"),
          {QStringLiteral("TradeLedger:") + name.left(40)});
}

std::unique_ptr<Database> Database::open(const QString& path, OpenMode mode, Journal journal) {
    auto fail = [] { return std::unique_ptr<Database>(); };
    if (ServerAddress::isAddress(path))
        return connectServer(path, mode).db;
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

namespace {
int g_retries = 0;
QHash<QString, int>& serverErrorCounts() {
    static QHash<QString, int> counts;
    return counts;
}
} // namespace

int Database::retries() {
    return g_retries;
}

int Database::serverErrors(const QString& sqlState) {
    return serverErrorCounts().value(sqlState);
}

void Database::noteFailure(const QSqlError& error) const {
    if (!isServer())
        return;
    ++serverErrorCounts()[error.nativeErrorCode()];
    if (DbError::fromSql(error).kind() == DbError::Kind::Disconnected)
        m_lost = true;
    // The server refuses everything after a failure until the transaction
    // (or the savepoint) is rolled back, and turns its COMMIT into a
    // rollback: a commit must not pass for a save.
    if (m_savepointDepth > 0)
        m_aborted = true;
}

void Database::reconnectIfLost() const {
    if (!m_lost || m_savepointDepth > 0)
        return;
    // The transaction that broke is gone with the connection; prepared
    // statements and work tables went with it too.
    m_prepared.clear();
    QSqlDatabase c = connection();
    c.close();
    if (!c.open())
        throw DbError::ofKind(DbError::Kind::Disconnected); // still no server
    m_lost = false;
    setUpServerSession();
}

void Database::pauseBeforeRetry(int attempt) {
    ++g_retries;
    // A random wait, longer with each attempt, so that two operators who
    // crossed do not cross again at once.
    const int ms = static_cast<int>(QRandomGenerator::global()->bounded(10, 60)) * attempt;
    QThread::msleep(static_cast<unsigned long>(std::min(ms, 200)));
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
// Work tables belong to the connection: SQLite keeps them in its temporary
// database, which it finds before the file's tables of the same name and
// drops at close; a server keeps them per session, so operators never meet
// each other's.
QString workTablesInTemp(const QString& sql) {
    static const QRegularExpression createWork(QStringLiteral("^\\s*CREATE\\s+TABLE\\s+(?=\"?T_)"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = createWork.match(sql);
    if (!m.hasMatch())
        return sql;
    return QStringLiteral("CREATE TEMP TABLE ") + sql.mid(m.capturedEnd());
}

// The server keeps unquoted names in lower case; the names the program
// quotes (ident) are written that way too, so that "Right" (a reserved word,
// always quoted) and Right mean one column. Text in single quotes is left as
// it is.
QString serverNames(const QString& sql) {
    QString out = sql;
    bool inText = false;
    bool inName = false;
    bool keep = false; // a collation's name ("C") keeps its case
    for (qsizetype i = 0; i < out.size(); ++i) {
        QChar& c = out[i];
        if (inName) {
            if (c == QLatin1Char('"'))
                inName = false;
            else if (!keep)
                c = c.toLower();
        } else if (c == QLatin1Char('\'')) {
            inText = !inText;
        } else if (!inText && c == QLatin1Char('"')) {
            inName = true;
            keep = out.left(i).trimmed().endsWith(QLatin1String("COLLATE"), Qt::CaseInsensitive);
        }
    }
    return out;
}

bool hasPlaceholder(const QString& sql) {
    bool inText = false;
    for (const QChar c : sql) {
        if (c == QLatin1Char('\''))
            inText = !inText;
        else if (!inText && c == QLatin1Char('?'))
            return true;
    }
    return false;
}

// Prepared statements a server connection keeps; the oldest go beyond this.
constexpr int kPreparedKept = 200;
} // namespace

QString Database::adapted(const QString& sql) const {
    if (isServer()) {
        // A value folds as the columns do, by the "C" rules (ASCII letters
        // only), whatever the database's own collation would do to it.
        QString text = serverNames(workTablesInTemp(sql));
        text.replace(QStringLiteral("lower(?)"), QStringLiteral("lower(? COLLATE \"C\")"));
        return text;
    }
    return m_readOnly ? workTablesInTemp(sql) : sql;
}

std::shared_ptr<QSqlQuery> Database::preparedQuery(const QString& sql) const {
    auto it = m_prepared.find(sql);
    if (it != m_prepared.end())
        return it.value();
    if (m_prepared.size() >= kPreparedKept)
        m_prepared.clear();
    auto query = std::make_shared<QSqlQuery>(connection());
    QSqlQuery& q = *query;
    // The server sends the whole result at once: a statement may run while
    // another one's rows are still being read, which the driver's row-by-row
    // mode would silently cut short.
    q.setForwardOnly(false);
    if (!q.prepare(adapted(sql))) {
        noteFailure(q.lastError());
        throw DbError::fromSql(q.lastError());
    }
    m_prepared.insert(sql, query);
    return query;
}

Statement::Statement(const Database& db, const QString& sql)
    : m_db(db), m_query(db.connection()), m_sql(sql) {
    db.reconnectIfLost();
    if (db.isServer()) {
        // The server cannot prepare BEGIN, CREATE, LOCK and their like, and a
        // failed PREPARE would end the transaction: statements without values
        // run as they are.
        m_unprepared = !hasPlaceholder(sql);
        if (!m_unprepared)
            m_shared = db.preparedQuery(sql);
        return;
    }
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
    bool ok = false;
    if (m_unprepared) {
        Q_ASSERT(binds.isEmpty());
        m_query = QSqlQuery(m_db.connection());
        ok = m_query.exec(m_db.adapted(m_sql));
    } else {
        QSqlQuery& q = query();
        for (int i = 0; i < binds.size(); ++i)
            q.bindValue(i, binds.at(i));
        ok = q.exec();
    }
    if (!ok)
        m_db.noteFailure(query().lastError());
    return ok;
}

QSqlQuery& Statement::exec(const QVariantList& binds) {
    if (!run(binds))
        throw DbError::fromSql(query().lastError());
    return query();
}

QSqlQuery Statement::take() {
    if (!m_shared)
        return std::move(m_query);
    // The server's prepared query stays in the connection's cache for the
    // next run of this text; the caller reads the result through a second
    // handle on it. Its rows are already all here, so other statements may
    // run meanwhile; only this text must not run again before they are read.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return QSqlQuery(*m_shared);
    QT_WARNING_POP
}

bool Statement::execUnlessRefused(const QVariantList& binds) {
    // A refused row ends a server's transaction unless it ran in a savepoint.
    // A savepoint for every row would cost two more trips to the server per
    // row, and rows are hardly ever refused: rows run bare until one is, then
    // the whole action runs again (Database::retrying) with a savepoint for
    // each row, until its transaction is committed.
    const bool inServerTransaction = m_db.isServer() && m_db.m_savepointDepth > 0;
    const bool guarded = inServerTransaction && m_db.m_guardRows;
    if (guarded)
        m_db.exec(QStringLiteral("SAVEPOINT tl_row"));
    if (run(binds)) {
        if (guarded)
            m_db.exec(QStringLiteral("RELEASE tl_row"));
        return true;
    }
    const QSqlError error = query().lastError();
    if (refusesRecord(error) && inServerTransaction && !guarded) {
        m_db.m_guardRows = true;
        throw DbError::ofKind(DbError::Kind::Conflict);
    }
    if (refusesRecord(error)) {
        if (guarded) {
            m_db.exec(QStringLiteral("ROLLBACK TO tl_row"));
            m_db.exec(QStringLiteral("RELEASE tl_row"));
            m_db.m_aborted = false;
        }
        return false;
    }
    throw DbError::fromSql(error);
}

QSqlQuery Database::run(const QString& sql, const QVariantList& binds) const {
    Statement statement(*this, sql);
    statement.exec(binds);
    return statement.take();
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

void Database::insertRows(const QString& table, const QStringList& columns,
                          const QList<QVariantList>& rows) const {
    QStringList names;
    for (const QString& c : columns)
        names << ident(c);
    const QString head = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                             .arg(ident(table), names.join(QLatin1Char(',')));
    const QString one = QLatin1Char('(') +
                        QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')) +
                        QLatin1Char(')');
    if (!isServer()) {
        Statement insert(*this, head + one);
        for (const QVariantList& row : rows)
            insert.exec(row);
        return;
    }
    const qsizetype perStatement = 1000;
    for (qsizetype first = 0; first < rows.size(); first += perStatement) {
        const qsizetype count = std::min(perStatement, rows.size() - first);
        QVariantList binds;
        binds.reserve(count * columns.size());
        for (qsizetype i = first; i < first + count; ++i) {
            Q_ASSERT(rows.at(i).size() == columns.size());
            binds += rows.at(i);
        }
        // The statement of a full batch is prepared once and kept.
        Statement(*this, head + QStringList(count, one).join(QLatin1Char(','))).exec(binds);
    }
}

QString Database::caseless(const QString& expression) {
    // lower() folds ASCII letters only on both engines (the server's text
    // columns use the "C" collation), as the file's NOCASE columns do.
    return QStringLiteral("lower(") + expression + QLatin1Char(')');
}

void Database::lockRows(const QString& table, const QString& keyColumn, QList<qint64> keys) const {
    if (!isServer() || keys.isEmpty())
        return;
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    QStringList marks;
    QVariantList binds;
    for (qint64 key : keys) {
        marks << QStringLiteral("?");
        binds << key;
    }
    // In key order, so that two operators locking overlapping records
    // cannot each wait for the other.
    run(QStringLiteral("SELECT %1 FROM %2 WHERE %1 IN (%3) ORDER BY %1 FOR UPDATE")
            .arg(ident(keyColumn), ident(table), marks.join(QLatin1Char(','))),
        binds);
}

void Database::lockTableForWriting(const QString& table) const {
    if (isServer())
        exec(QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(ident(table)));
}

void Database::lockTableForRewriting(const QString& table) const {
    // SHARE ROW EXCLUSIVE (lockTableForWriting) stops writers but lets
    // SELECT .. FOR UPDATE through: such a reader sees the latest rows, not
    // the rewriter's snapshot, and would write what it read after the rewrite
    // went by. EXCLUSIVE stops those too and still lets plain reads go on,
    // as ACCESS EXCLUSIVE would not (reports read Stock meanwhile).
    if (isServer())
        exec(QStringLiteral("LOCK TABLE %1 IN EXCLUSIVE MODE").arg(ident(table)));
}

void Database::lockRule(int number) const {
    if (isServer())
        value(QStringLiteral("SELECT pg_advisory_xact_lock(?)"), {qint64(number)});
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

namespace {
// A server keeps names in lower case; the program knows them as declared.
QString declaredTableName(const QString& name) {
    const TableDef* def = Schema::accountSetTable(name);
    return def ? def->name : name;
}

// Tables of the account set's schema and the connection's work tables.
const char* const kServerTables =
    "SELECT c.relname FROM pg_catalog.pg_class c WHERE c.relkind IN ('r','p') AND "
    "(c.relnamespace = current_schema()::regnamespace OR c.relnamespace = pg_my_temp_schema())";
} // namespace

QStringList Database::tableNames() const {
    QStringList names;
    if (isServer()) {
        QSqlQuery q = run(QLatin1String(kServerTables) + QStringLiteral(" ORDER BY 1"));
        while (q.next())
            names << declaredTableName(q.value(0).toString());
        return names;
    }
    QSqlQuery q = run(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' "
        "ESCAPE '\\' ORDER BY name"));
    while (q.next())
        names << q.value(0).toString();
    return names;
}

bool Database::tableExists(const QString& table, Qt::CaseSensitivity cs) const {
    if (isServer()) {
        // The server's names have one letter case: the question is whether
        // the table of that name exists.
        Q_UNUSED(cs);
        return value(QLatin1String(kServerTables) + QStringLiteral(" AND c.relname = lower(?)"),
                     {table})
            .isValid();
    }
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
    if (isServer()) {
        const TableDef* def = Schema::accountSetTable(table);
        QSqlQuery q =
            run(QStringLiteral(
                    "SELECT a.attname FROM pg_catalog.pg_attribute a JOIN pg_catalog.pg_class "
                    "c ON c.oid = a.attrelid WHERE c.relname = lower(?) AND (c.relnamespace "
                    "= current_schema()::regnamespace OR c.relnamespace = "
                    "pg_my_temp_schema()) AND a.attnum > 0 AND NOT a.attisdropped "
                    "ORDER BY a.attnum"),
                {table});
        while (q.next()) {
            const QString name = q.value(0).toString();
            const ColumnDef* column = def ? def->column(name) : nullptr;
            names << (column ? column->name : name);
        }
        return names;
    }
    QSqlQuery q = run(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table});
    while (q.next())
        names << q.value(0).toString();
    return names;
}

bool Database::indexExists(const QString& name) const {
    if (isServer())
        return value(QStringLiteral("SELECT 1 FROM pg_catalog.pg_class WHERE relkind = 'i' AND "
                                    "relnamespace = current_schema()::regnamespace AND relname = "
                                    "lower(?)"),
                     {name})
            .isValid();
    return value(QStringLiteral(
                     "SELECT 1 FROM sqlite_master WHERE type='index' AND name=? COLLATE NOCASE"),
                 {name})
        .isValid();
}

bool Database::fieldExists(const QString& table, const QString& column) const {
    return columnNames(table).contains(column, Qt::CaseSensitive);
}

void Database::dropTable(const QString& table) const {
    if (tableExists(table))
        exec(QStringLiteral("DROP TABLE ") + ident(table));
}

void Database::dropWorkTables() const {
    if (isServer())
        return; // they belong to the connection and go with it
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

namespace {
QString beginText(const Database& db, Transaction::Isolation isolation) {
    using I = Transaction::Isolation;
    if (db.isServer()) {
        // Savers see each statement's latest committed rows and lock what
        // they change; reports and the rebuild read one snapshot.
        return isolation == I::Write ? QStringLiteral("BEGIN")
                                     : QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ");
    }
    // A read-only file takes no write lock; its reports write only their
    // temporary work tables, and any other write fails as read-only. A
    // snapshot takes none either: the file's WAL gives readers one.
    if (db.isReadOnly() || isolation == I::Snapshot)
        return QStringLiteral("BEGIN");
    return QStringLiteral("BEGIN IMMEDIATE");
}
} // namespace

Transaction::Transaction(const Database& db, Isolation isolation)
    : m_db(const_cast<Database&>(db)) {
    const int depth = m_db.m_savepointDepth + 1;
    if (depth == 1) {
        m_db.reconnectIfLost();
        m_db.m_aborted = false;
        m_db.exec(beginText(m_db, isolation));
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
            m_db.m_aborted = false;
        }
    } catch (const DbError&) {
        // A destructor may not throw. A rollback fails when the engine has
        // already rolled the transaction back itself (a full disk, a lost
        // connection), so nothing is left to undo.
    }
    --m_db.m_savepointDepth;
}

void Transaction::commit() {
    if (m_name.isEmpty() && m_db.m_aborted)
        throw DbError::failed(QStringLiteral("保存途中出错，没有保存任何内容。"));
    m_db.exec(m_name.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ") + m_name);
    if (m_name.isEmpty())
        m_db.m_guardRows = false;
    m_done = true;
    --m_db.m_savepointDepth;
}

} // namespace tl
