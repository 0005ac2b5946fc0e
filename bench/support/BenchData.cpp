#include "support/BenchData.h"

#include "core/data/Schema.h"
#include "core/data/ServerAddress.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>
#include <unistd.h>

namespace tl::bench {

namespace {

const QString kOptions = QStringLiteral("options");
const QString kSearchPath = QStringLiteral("-csearch_path=");

// The schema a server address puts first on the search path.
QString schemaOf(const QString& address) {
    const QString options = QUrlQuery(QUrl(address)).queryItemValue(kOptions, QUrl::FullyDecoded);
    return options.startsWith(kSearchPath) ? options.mid(kSearchPath.size()) : QString();
}

QString withSchema(const QString& address, const QString& schema) {
    QUrl url(address);
    QUrlQuery query(url);
    query.removeAllQueryItems(kOptions);
    if (!schema.isEmpty())
        query.addQueryItem(kOptions, kSearchPath + schema);
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

std::unique_ptr<Database> connect(const QString& address) {
    auto db = Database::open(address, Database::OpenMode::CreateIfMissing);
    if (!db)
        std::fprintf(stderr, "cannot open %s\n", qPrintable(address));
    else if (db->isServer())
        countServerProcess(*db);
    return db;
}

qint64 serverProcess = 0;

// Makes the schema named in address on its server when it is missing (made
// anew, empty, when fresh is set), through a connection of its own.
bool makeSchema(const QString& address, bool fresh) {
    auto admin = connect(withSchema(address, QString()));
    if (!admin)
        return false;
    const QString schema = Database::quoted(schemaOf(address));
    if (fresh)
        admin->exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema));
    admin->exec(QStringLiteral("CREATE SCHEMA IF NOT EXISTS %1").arg(schema));
    return true;
}

// Records come roughly in date order, as they are entered.
QString dateOf(int i, int rows, QRandomGenerator& random) {
    const int day = std::clamp(int(qint64(i) * days / rows) + int(random.bounded(5)) - 2, 0, days);
    return firstDay.addDays(day).toString(Qt::ISODate);
}

} // namespace

void countServerProcess(const Database& db) {
    serverProcess = db.value(QStringLiteral("SELECT pg_backend_pid()")).toLongLong();
}

void stopCountingServer() {
    serverProcess = 0;
}

double serverCpuMs() {
    if (serverProcess == 0)
        return 0;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(serverProcess));
    if (!stat.open(QIODevice::ReadOnly))
        return 0; // a server elsewhere, or the connection is gone
    // utime and stime, in clock ticks, are the 14th and 15th fields; the
    // second one (the command) ends with the last ')'.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return (fields.at(11).toDouble() + fields.at(12).toDouble()) * 1e3 / sysconf(_SC_CLK_TCK);
}

BenchArgs::BenchArgs(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--pg" && i + 1 < argc)
            m_server = QString::fromLocal8Bit(argv[++i]);
        else
            m_values.append(QString::fromLocal8Bit(argv[i]));
    }
}

QString BenchArgs::value(int n, const QString& fallback) const {
    return n < m_values.size() ? m_values.at(n) : fallback;
}

QString BenchArgs::accountSet(const QString& folder, const QString& name,
                              const QString& schema) const {
    return onServer() ? withSchema(m_server, schema)
                      : folder + QLatin1Char('/') + name + QStringLiteral(".lbk");
}

QStringList BenchArgs::serverArgs() const {
    return onServer() ? QStringList{QStringLiteral("--pg"), m_server} : QStringList();
}

void insertRows(const Database& db, const QString& table, const QStringList& columns, int rows,
                const std::function<QVariantList(int)>& values) {
    // 1,000 rows per statement: one round trip to a server instead of 1,000,
    // and well inside SQLite's limit of bound values.
    constexpr int perStatement = 1000;
    const QString head =
        QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table, columns.join(QLatin1Char(',')));
    const QString row = QLatin1Char('(') +
                        QStringList(columns.size(), QStringLiteral("?")).join(',') +
                        QLatin1Char(')');
    auto sql = [&](int n) { return head + QStringList(n, row).join(QLatin1Char(',')); };
    std::unique_ptr<Statement> full;
    QVariantList binds;
    for (int i = 0; i < rows; i += perStatement) {
        const int n = std::min(perStatement, rows - i);
        binds.clear();
        for (int j = i; j < i + n; ++j)
            binds += values(j);
        if (n < perStatement) {
            Statement(db, sql(n)).exec(binds);
            continue;
        }
        if (!full)
            full = std::make_unique<Statement>(db, sql(n));
        full->exec(binds);
    }
}

void buildAccountSet(const Database& db) {
    QRandomGenerator random(42);
    auto r = [&](int n) { return int(random.bounded(n)) + 1; };
    Transaction t(db);
    auto fill = [&](const char* table, const char* columns, int rows,
                    const std::function<QVariantList(int)>& values) {
        insertRows(db, QString::fromLatin1(table), QString::fromLatin1(columns).split(','), rows,
                   values);
    };
    fill("Class", "Class", 20, [](int i) { return QVariantList{QStringLiteral("类别%1").arg(i)}; });
    fill("Product", "CID,Name,Price,Unit", products, [&](int i) {
        return QVariantList{r(20), QStringLiteral("产品%1").arg(i), r(500), QStringLiteral("件")};
    });
    fill("Storage", "Name", warehouses,
         [](int i) { return QVariantList{QStringLiteral("仓库%1").arg(i)}; });
    fill("Customer", "Name", customers,
         [](int i) { return QVariantList{QStringLiteral("客户%1").arg(i)}; });
    fill("Vender", "Name", suppliers,
         [](int i) { return QVariantList{QStringLiteral("供应商%1").arg(i)}; });
    fill("Account", "Name", 5, [](int i) { return QVariantList{QStringLiteral("账户%1").arg(i)}; });
    fill("Buy", "PID,VID,AID,SID,Price,Num,Pay,Dat,Memo", 200000, [&](int i) {
        const double price = r(5000) / 10.0;
        const int num = r(60);
        return QVariantList{r(products), r(100), r(5),        r(warehouses),
                            price,       num,    price * num, dateOf(i, 200000, random),
                            QString()};
    });
    fill("Sale", "PID,CID,SID,AID,UID,Price,Num,Pay,Dat,Memo", 300000, [&](int i) {
        const double price = r(6000) / 10.0;
        const int num = r(30);
        return QVariantList{
            r(products), r(500), r(warehouses), r(5), 1, price, num, 0.0, dateOf(i, 300000, random),
            QString()};
    });
    fill("Adjust", "IID,OID,PID,Num,Dat,Memo", 50000, [&](int i) {
        const int out = r(warehouses);
        return QVariantList{out % warehouses + 1,     out,      r(products), r(20),
                            dateOf(i, 50000, random), QString()};
    });
    t.commit();
}

std::unique_ptr<Database> openOrBuild(const QString& path,
                                      const std::function<bool(const Database&)>& isBuilt,
                                      const std::function<void(const Database&)>& build) {
    const bool server = ServerAddress::isAddress(path);
    bool built = !server && QFileInfo::exists(path);
    if (server && !makeSchema(path, false))
        return nullptr;
    auto db = connect(path);
    if (!db)
        return db;
    if (server) {
        built = db->tableExists(QStringLiteral("Sale"), Qt::CaseInsensitive) && isBuilt(*db);
        if (!built) { // nothing, or what an older build left: start again
            db.reset();
            if (!makeSchema(path, true) || !(db = connect(path)))
                return nullptr;
        }
    }
    if (built) { // made by an older build, perhaps: brought up to date as a login would
        Schema::upgrade(*db);
        return db;
    }
    QElapsedTimer timer;
    timer.start();
    Schema::createAccountSet(*db);
    build(*db);
    // What the server's autovacuum would soon do by itself: statistics for
    // the planner, so that the first runs plan as later ones do.
    if (server)
        db->exec(QStringLiteral("ANALYZE"));
    std::printf("building the account set: %.0f ms\n", timer.nsecsElapsed() / 1e6);
    return db;
}

std::unique_ptr<Database> openBenchAccountSet(const QString& path) {
    return openOrBuild(
        path,
        [](const Database& db) {
            return db.value(QStringLiteral("SELECT COUNT(*) FROM Sale")).toInt() >= 300000;
        },
        buildAccountSet);
}

std::unique_ptr<Database> copyAccountSet(const QString& from, const QString& to) {
    if (!ServerAddress::isAddress(to)) {
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(to + QLatin1String(suffix));
        QFile::copy(from, to);
        return connect(to);
    }
    if (!makeSchema(to, true))
        return nullptr;
    auto db = connect(to);
    if (!db)
        return db;
    Schema::createAccountSet(*db);
    const QString source = Database::quoted(schemaOf(from));
    Transaction t(*db);
    QStringList tables;
    for (const QString& table : db->tableNames())
        tables.append(Database::quoted(table));
    db->exec(QStringLiteral("TRUNCATE ") + tables.join(QLatin1Char(',')));
    for (const QString& table : db->tableNames()) {
        QStringList columns;
        for (const QString& column : db->columnNames(table))
            columns.append(Database::quoted(column));
        db->exec(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3.%1")
                     .arg(Database::quoted(table), columns.join(QLatin1Char(',')), source));
    }
    // Keys given from the copy leave the identity counters behind.
    QSqlQuery keys =
        db->run(QStringLiteral("SELECT table_name, column_name FROM information_schema.columns "
                               "WHERE table_schema=current_schema() AND is_identity='YES'"));
    QList<QStringList> identities;
    while (keys.next())
        identities.append({keys.value(0).toString(), keys.value(1).toString()});
    keys.finish();
    for (const QStringList& k : std::as_const(identities))
        db->value(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), "
                                 "COALESCE((SELECT MAX(%1) FROM %2), 0) + 1, false)")
                      .arg(Database::quoted(k[1]), Database::quoted(k[0])),
                  {Database::quoted(k[0]), k[1]});
    t.commit();
    db->exec(QStringLiteral("ANALYZE"));
    return db;
}

} // namespace tl::bench
