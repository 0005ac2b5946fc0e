#include "core/masterdata/Lookups.h"

#include "core/data/Database.h"
#include "core/values/ItemText.h"

#include <QSqlQuery>

namespace tl {
namespace {

struct MasterDef {
    const char* table;
    const char* nameColumn;
    const char* keyColumn;
    const char* refColumn;   // column filled with a placeholder reference, or null
    Master refTable;         // table of that placeholder
    const char* placeholder; // its name
};

MasterDef def(Master m) {
    switch (m) {
    case Master::Product:
        return {"Product", "Name", "PID", "CID", Master::Class, "未分类产品"};
    case Master::Class:
        return {"Class", "Class", "CID", nullptr, Master::Class, nullptr};
    case Master::Vender:
        return {"Vender", "Name", "VID", "RID", Master::Region, "未知区域"};
    case Master::Staff:
        return {"Staff", "Name", "UID", nullptr, Master::Staff, nullptr};
    case Master::Customer:
        return {"Customer", "Name", "CID", "RID", Master::Region, "未知区域"};
    case Master::Region:
        return {"Region", "Region", "RID", nullptr, Master::Region, nullptr};
    case Master::Account:
        return {"Account", "Name", "AID", nullptr, Master::Account, nullptr};
    case Master::Storage:
        return {"Storage", "Name", "SID", nullptr, Master::Storage, nullptr};
    }
    return {};
}

} // namespace

void lockNames(const Database& db, const QString& table) {
    // One rule lock per table; the numbers are this program's own, above
    // any small number another part might pick.
    static const QStringList tables{"Product",  "Class",  "Vender",  "Staff",
                                    "Customer", "Region", "Account", "Storage"};
    const qsizetype index = tables.indexOf(table);
    db.lockRule(7100 + int(index < 0 ? tables.size() : index));
}

int findOrCreate(const Database& db, Master table, const QString& name, bool* created) {
    const MasterDef d = def(table);
    const QString t = Database::ident(QString::fromLatin1(d.table));
    const QString n = Database::ident(QString::fromLatin1(d.nameColumn));
    const QString k = Database::ident(QString::fromLatin1(d.keyColumn));
    const QString findSql =
        QStringLiteral("SELECT %1 FROM %2 WHERE %3=%4 ORDER BY %1 LIMIT 1")
            .arg(k, t, Database::caseless(n), Database::caseless(QStringLiteral("?")));
    // Most names exist: found without any lock.
    if (const QVariant found = db.value(findSql, {name}); found.isValid()) {
        if (created)
            *created = false;
        return found.toInt();
    }
    const QString keyColumn = QString::fromLatin1(d.keyColumn);
    return db.retrying([&] {
        Transaction tx(db);
        // The placeholder's table first, as every find-or-create takes them:
        // two operators creating a product and a class cannot wait for each other.
        if (d.refColumn)
            lockNames(db, QString::fromLatin1(def(d.refTable).table));
        lockNames(db, QString::fromLatin1(d.table));
        // Looked for again under the lock: someone may have just added it.
        if (const QVariant found = db.value(findSql, {name}); found.isValid()) {
            if (created)
                *created = false;
            tx.commit();
            return found.toInt();
        }
        int key = 0;
        if (d.refColumn) {
            const int ref = findOrCreate(db, d.refTable, QString::fromUtf8(d.placeholder));
            key = static_cast<int>(
                db.insertKey(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)")
                                 .arg(t, n, Database::ident(QString::fromLatin1(d.refColumn))),
                             {name, ref}, keyColumn));
        } else {
            key = static_cast<int>(db.insertKey(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(t, n), {name}, keyColumn));
        }
        if (created)
            *created = true;
        tx.commit();
        return key;
    });
}

QStringList comboItems(const Database& db, const QString& table, const QString& nameColumn,
                       const QString& keyColumn) {
    QStringList items;
    const QString key = Database::ident(keyColumn);
    QSqlQuery q = db.run(QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %4, %1")
                             .arg(key, Database::ident(nameColumn), Database::ident(table),
                                  Database::caseless(Database::ident(nameColumn))));
    while (q.next())
        items << itemText(q.value(1).toString(), q.value(0));
    return items;
}

} // namespace tl
