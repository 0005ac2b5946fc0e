#include "core/data/Schema.h"

#include "core/accounts/Rights.h"
#include "core/accounts/Session.h"
#include "core/data/AccountSetFile.h"
#include "core/data/Database.h"

#include <QFileInfo>
#include <QSqlQuery>

namespace tl {

const QString Schema::presetOperator = QStringLiteral("admin");
const QString Schema::presetPassword = QStringLiteral("730281");

namespace {

using T = ColumnType;

// The master tables, in the order the program lists them.
QList<TableDef> masterTables() {
    return {
        {"Product",
         {{"PID", T::Counter},
          {"CID", T::Long},
          {"SName", T::Text},
          {"Name", T::Text},
          {"Code", T::Text},
          {"Price", T::Double},
          {"Unit", T::Text},
          {"Memo", T::Text}}},
        {"Class", {{"CID", T::Counter}, {"Class", T::Text}, {"Memo", T::Text}}},
        {"Account",
         {{"AID", T::Counter}, {"Name", T::Text}, {"Account", T::Text}, {"Memo", T::Text}}},
        {"Customer",
         {{"CID", T::Counter},
          {"RID", T::Long},
          {"Name", T::Text},
          {"Address", T::Text},
          {"PC", T::Text},
          {"Phone", T::Text},
          {"MPhone", T::Text},
          {"Fax", T::Text},
          {"Email", T::Text},
          {"Websit", T::Text},
          {"Memo", T::Text}}},
        {"Vender",
         {{"VID", T::Counter},
          {"RID", T::Long},
          {"Name", T::Text},
          {"LinkMan", T::Text},
          {"Phone", T::Text},
          {"MPhone", T::Text},
          {"Fax", T::Text},
          {"Email", T::Text},
          {"Address", T::Text},
          {"PC", T::Text},
          {"Websit", T::Text},
          {"Memo", T::Text}}},
        {"Staff",
         {{"UID", T::Counter},
          {"Name", T::Text},
          {"Address", T::Text},
          {"PC", T::Text},
          {"Phone", T::Text},
          {"MPhone", T::Text},
          {"Fax", T::Text},
          {"Email", T::Text},
          {"Websit", T::Text},
          {"Memo", T::Text},
          {"PSD", T::Text},
          {"Right", T::Text}}},
        {"Storage",
         {{"SID", T::Counter}, {"Name", T::Text}, {"Address", T::Text}, {"Memo", T::Text}}},
        {"Region", {{"RID", T::Counter}, {"Region", T::Text}, {"Memo", T::Text}}},
    };
}

// The trade records, the stock they leave and the shop's slip settings.
QList<TableDef> tradeTables() {
    return {
        {"Sale",
         {{"ID", T::Counter},
          {"PID", T::Long},
          {"CID", T::Long},
          {"SID", T::Long},
          {"AID", T::Long},
          {"UID", T::Long},
          {"Price", T::Double},
          {"Num", T::Double},
          {"Pay", T::Double},
          {"Dat", T::Date},
          {"Memo", T::Text}}},
        {"Buy",
         {{"ID", T::Counter},
          {"PID", T::Long},
          {"VID", T::Long},
          {"AID", T::Long},
          {"SID", T::Long},
          {"Price", T::Double},
          {"Num", T::Double},
          {"Pay", T::Double},
          {"Dat", T::Date},
          {"Memo", T::Text}}},
        {"Adjust",
         {{"ID", T::Counter},
          {"IID", T::Long},
          {"OID", T::Long},
          {"PID", T::Long},
          {"Num", T::Double},
          {"Dat", T::Date},
          {"Memo", T::Text}}},
        {"Stock", {{"ID", T::Counter}, {"SID", T::Long}, {"PID", T::Long}, {"Num", T::Double}}},
        // One row: what the slips print about the shop, and the last slip
        // number taken of each kind.
        {"Shop",
         {{"ID", T::Counter},
          {"Name", T::Text},
          {"Address", T::Text},
          {"Phone", T::Text},
          {"SaleSlip", T::Long},
          {"BuySlip", T::Long}}},
    };
}

struct IndexDef {
    const char* name;
    const char* table;
    const char* columns;
    bool unique;
};

// Every save looks its warehouse and product up in Stock, which holds one
// row per pair: a stock movement adds to it in one statement.
const IndexDef indexes[] = {{"Stock_SID_PID", "Stock", "SID, PID", true}};

QString columnSql(const ColumnDef& c) {
    const QString name = Database::ident(c.name);
    switch (c.type) {
    case T::Counter:
        return name + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    case T::Long:
        return name + QStringLiteral(" INTEGER");
    case T::Double:
        return name + QStringLiteral(" REAL");
    case T::Date:
        return name + QStringLiteral(" TEXT"); // ISO text: text order is date order
    case T::Text:
        return name + QStringLiteral(" TEXT COLLATE NOCASE");
    }
    return name;
}

// Recreates a table with its declared columns, keeping the rows; a counter
// column that did not exist gets generated values in the old row order.
void rebuildWithCounter(const Database& db, const TableDef& def) {
    const QStringList existing = db.columnNames(def.name);
    QStringList kept;
    for (const ColumnDef& c : def.columns) {
        if (existing.contains(c.name, Qt::CaseInsensitive))
            kept << Database::ident(c.name);
    }
    const QString temp = QStringLiteral("tl_upgrade_") + def.name;
    TableDef copy = def;
    copy.name = temp;
    db.exec(QStringLiteral("DROP TABLE IF EXISTS ") + Database::ident(temp));
    db.exec(Schema::createSql(copy));
    db.exec(
        QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3 ORDER BY rowid")
            .arg(Database::ident(temp), kept.join(QLatin1Char(',')), Database::ident(def.name)));
    db.exec(QStringLiteral("DROP TABLE ") + Database::ident(def.name));
    db.exec(QStringLiteral("ALTER TABLE %1 RENAME TO %2")
                .arg(Database::ident(temp), Database::ident(def.name)));
}

int fileVersion(const Database& db) {
    return db.value(QStringLiteral("PRAGMA user_version")).toInt();
}

// The pragma takes no bound value; the number is the program's own.
void setFileVersion(const Database& db) {
    db.exec(QStringLiteral("PRAGMA user_version=%1").arg(Schema::version));
}

} // namespace

const ColumnDef* TableDef::column(const QString& wanted) const {
    for (const ColumnDef& c : columns) {
        if (c.name.compare(wanted, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

QString TableDef::keyColumn() const {
    for (const ColumnDef& c : columns) {
        if (c.type == ColumnType::Counter)
            return c.name;
    }
    return {};
}

const QList<TableDef>& Schema::accountSetTables() {
    static const QList<TableDef> tables = masterTables() + tradeTables();
    return tables;
}

const TableDef* Schema::accountSetTable(const QString& name) {
    for (const TableDef& t : accountSetTables()) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

const TableDef& Schema::registryTable() {
    static const TableDef table{
        "Account", {{"ID", T::Counter}, {"Name", T::Text}, {"Dat", T::Date}, {"Path", T::Text}}};
    return table;
}

QString Schema::createSql(const TableDef& table) {
    QStringList cols;
    for (const ColumnDef& c : table.columns)
        cols << columnSql(c);
    return QStringLiteral("CREATE TABLE %1 (%2)")
        .arg(Database::ident(table.name), cols.join(QStringLiteral(", ")));
}

QStringList Schema::indexSql(const QString& table) {
    QStringList sql;
    for (const IndexDef& i : indexes) {
        if (table.isEmpty() || table.compare(QLatin1String(i.table), Qt::CaseInsensitive) == 0)
            sql << QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2 ON %3 (%4)")
                       .arg(i.unique ? QStringLiteral("UNIQUE ") : QString(), QLatin1String(i.name),
                            Database::ident(QLatin1String(i.table)), QLatin1String(i.columns));
    }
    return sql;
}

void Schema::createAccountSet(const Database& db) {
    Transaction t(db);
    for (const TableDef& table : accountSetTables())
        db.exec(createSql(table));
    for (const QString& sql : indexSql())
        db.exec(sql);
    db.exec(QStringLiteral("INSERT INTO Staff (Name, PSD, \"Right\") VALUES (?, ?, ?)"),
            {presetOperator, presetPassword, Rights::all()});
    setFileVersion(db);
    t.commit();
}

namespace {

bool indexExists(const Database& db, const QString& name) {
    return db
        .value(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='index' AND %1=%2")
                   .arg(Database::caseless(QStringLiteral("name")),
                        Database::caseless(QStringLiteral("?"))),
               {name})
        .isValid();
}

// Before version 3 Stock could hold several rows of one pair, and its index
// did not keep them apart. They become one row holding their sum (what the
// check of the stock table takes as the stored balance), then the index is
// made anew as a key.
void keyStockPairs(const Database& db) {
    const QVariant sql = db.value(QStringLiteral("SELECT sql FROM sqlite_master WHERE type='index' "
                                                 "AND name='Stock_SID_PID' COLLATE NOCASE"));
    if (sql.isValid() && sql.toString().contains(QStringLiteral("UNIQUE"), Qt::CaseInsensitive))
        return;
    const QString firstRows = QStringLiteral(
        "SELECT MIN(ID) FROM Stock WHERE SID IS NOT NULL AND PID IS NOT NULL GROUP BY SID, PID");
    db.exec(
        QStringLiteral("UPDATE Stock SET Num=(SELECT SUM(s.Num) FROM Stock s WHERE "
                       "s.SID=Stock.SID AND s.PID=Stock.PID) WHERE ID IN (%1 HAVING COUNT(*)>1)")
            .arg(firstRows));
    db.exec(QStringLiteral("DELETE FROM Stock WHERE SID IS NOT NULL AND PID IS NOT NULL AND ID NOT "
                           "IN (%1)")
                .arg(firstRows));
    if (sql.isValid())
        db.exec(QStringLiteral("DROP INDEX Stock_SID_PID"));
}

bool tablesOutOfDate(const Database& db) {
    // The engine ignores the letter case of names: a table "adjust" is the
    // Adjust table, and creating another one would fail.
    if (!db.tableExists(QStringLiteral("Adjust"), Qt::CaseInsensitive))
        return true;
    for (const QString& name : {QStringLiteral("Stock"), QStringLiteral("Adjust")}) {
        if (!db.columnNames(name).contains(QStringLiteral("ID"), Qt::CaseInsensitive))
            return true;
    }
    for (const IndexDef& i : indexes) {
        if (!indexExists(db, QLatin1String(i.name)))
            return true;
    }
    return false;
}

// Backups became a right of their own (version 1): whoever may set rights
// gets it. Returns the operators who got it.
QStringList grantBackupRight(const Database& db) {
    QList<std::pair<QString, QString>> grants;
    {
        QSqlQuery q = db.run(QStringLiteral("SELECT UID, \"Right\" FROM Staff ORDER BY UID"));
        while (q.next()) {
            const QString rights = q.value(1).toString();
            if (Rights::test(rights, QStringLiteral("修改人员权限")) &&
                !Rights::test(rights, Rights::backupRight()))
                // The last name of the vocabulary goes last: the order stays.
                grants.append(
                    {q.value(0).toString(), rights + Rights::separator + Rights::backupRight()});
        }
    }
    QStringList uids;
    QList<QVariantList> rows;
    for (const auto& [uid, rights] : grants) {
        rows.append(QVariantList{rights, uid});
        uids << uid;
    }
    db.execBatch(QStringLiteral("UPDATE Staff SET \"Right\"=? WHERE UID=?"), rows);
    return uids;
}

} // namespace

bool Schema::needsUpgrade(const Database& db) {
    return tablesOutOfDate(db) || fileVersion(db) < version;
}

void Schema::upgrade(const Database& db, Session* session) {
    const bool tables = tablesOutOfDate(db);
    // A file opened for reading keeps its version and its rights until a
    // login that may write; nothing to do writes nothing, so a read-only
    // account set opens quietly.
    const bool data = !db.isReadOnly() && fileVersion(db) < version;
    if (!tables && !data)
        return;
    Transaction t(db);
    if (tables) {
        const TableDef& adjust = *accountSetTable(QStringLiteral("Adjust"));
        if (!db.tableExists(adjust.name, Qt::CaseInsensitive))
            db.exec(createSql(adjust));
        for (const QString& name : {QStringLiteral("Stock"), QStringLiteral("Adjust")}) {
            if (!db.columnNames(name).contains(QStringLiteral("ID"), Qt::CaseInsensitive))
                rebuildWithCounter(db, *accountSetTable(name));
        }
    }
    if (!db.isReadOnly())
        keyStockPairs(db);
    for (const QString& sql : indexSql())
        db.exec(sql);
    QStringList granted;
    if (data) {
        const int from = fileVersion(db);
        if (from < 1)
            granted = grantBackupRight(db);
        if (from < 2 && !db.tableExists(QStringLiteral("Shop"), Qt::CaseInsensitive))
            db.exec(createSql(*accountSetTable(QStringLiteral("Shop"))));
        // Version 3, one Stock row per pair, was made sure of above.
        setFileVersion(db);
    }
    t.commit();
    if (session && granted.contains(session->operatorId.trimmed()))
        session->rights = db.nameById(QStringLiteral("Staff"), session->operatorId.trimmed(),
                                      QStringLiteral("UID"), QStringLiteral("Right"));
}

void Schema::ensureRegistry(const Database& db) {
    if (db.tableExists(registryTable().name))
        return;
    // The table dates each registration itself; the program never writes Dat.
    db.exec(QStringLiteral("CREATE TABLE \"Account\" (\"ID\" INTEGER PRIMARY KEY AUTOINCREMENT, "
                           "\"Name\" TEXT COLLATE NOCASE, "
                           "\"Dat\" TEXT DEFAULT (date('now','localtime')), "
                           "\"Path\" TEXT COLLATE NOCASE)"));
}

bool Schema::isAccountSetFile(const QString& path) {
    return AccountSetFile::probe(path) == AccountSetFile::Verdict::AccountSet;
}

bool Schema::isDatabaseFile(const QString& path) {
    return QFileInfo(path).size() > 0 && Database::open(path, Database::OpenMode::Inspect);
}

} // namespace tl
