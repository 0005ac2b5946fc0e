#include "data/Database.h"

#include "data/Dialogs.h"
#include "data/Helpers.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>
#include <atomic>

namespace tl {

namespace {
std::atomic<int> connectionCounter{0};

QString errorText(const QSqlQuery& q, const QString& sql) {
    return QStringLiteral("%1\n(%2)").arg(q.lastError().text(), sql);
}
} // namespace

std::unique_ptr<Database> Database::open(const QString& path, OpenMode mode, Report report) {
    auto fail = [&](const QString& message) -> std::unique_ptr<Database> {
        if (report == Report::Messages)
            dialogs().info(message);
        return nullptr;
    };
    if (path.trimmed().isEmpty() || QFileInfo(path).isDir())
        return fail(QStringLiteral("无法建立数据库连接！"));
    const bool existed = QFileInfo::exists(path);
    if (!existed && mode == OpenMode::Existing)
        return fail(QStringLiteral("无法建立数据库连接！"));

    std::unique_ptr<Database> db(new Database);
    db->m_path = path;
    db->m_connectionName = QStringLiteral("tl_%1").arg(++connectionCounter);
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), db->m_connectionName);
        c.setDatabaseName(path);
        c.setConnectOptions(mode == OpenMode::ReadOnly
                                ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                                : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!c.open())
            return fail(QStringLiteral("无法建立数据库连接！"));
    }
    // A file that is not SQLite opens lazily; the first read tells.
    QSqlQuery probe(db->connection());
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return fail(QStringLiteral("数据库打开错误！"));
    probe.finish();
    if (mode == OpenMode::ReadOnly)
        return db;
    if (!existed)
        QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QSqlQuery pragma(db->connection());
    pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    pragma.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    return db;
}

Database::~Database() {
    if (m_connectionName.isEmpty())
        return;
    {
        QSqlDatabase c = QSqlDatabase::database(m_connectionName, false);
        if (c.isOpen())
            c.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase Database::connection() const {
    return QSqlDatabase::database(m_connectionName, false);
}

QSqlQuery Database::run(const QString& sql, const QVariantList& binds) const {
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw DbError(errorText(q, sql));
    for (const QVariant& v : binds)
        q.addBindValue(v);
    if (!q.exec())
        throw DbError(errorText(q, sql));
    return q;
}

int Database::exec(const QString& sql, const QVariantList& binds) const {
    QSqlQuery q = run(sql, binds);
    return q.numRowsAffected();
}

QVariant Database::value(const QString& sql, const QVariantList& binds) const {
    QSqlQuery q = run(sql, binds);
    return q.next() ? q.value(0) : QVariant();
}

qint64 Database::lastInsertId() const {
    return value(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
}

QString Database::ident(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!plain.match(name).hasMatch())
        throw DbError(QStringLiteral("无效的表名或字段名：%1").arg(name));
    return QLatin1Char('"') + name + QLatin1Char('"');
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

bool Database::tableExists(const QString& table) const {
    return value(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND "
                                "name=? COLLATE BINARY"),
                 {table})
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
    Transaction t(*this);
    for (const QString& name : tableNames()) {
        if (name.startsWith(QStringLiteral("T_"), Qt::CaseSensitive))
            exec(QStringLiteral("DROP TABLE ") + ident(name));
    }
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
    m_name = QStringLiteral("sp%1").arg(++m_db.m_savepointDepth);
    m_db.exec(QStringLiteral("SAVEPOINT ") + m_name);
}

Transaction::~Transaction() {
    if (!m_done) {
        try {
            m_db.exec(QStringLiteral("ROLLBACK TO ") + m_name);
            m_db.exec(QStringLiteral("RELEASE ") + m_name);
        } catch (const DbError&) {
        }
        --m_db.m_savepointDepth;
    }
}

void Transaction::commit() {
    m_db.exec(QStringLiteral("RELEASE ") + m_name);
    m_done = true;
    --m_db.m_savepointDepth;
}

} // namespace tl
