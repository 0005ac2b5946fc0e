#include "core/data/Integrity.h"

#include "core/data/Database.h"
#include "core/data/Schema.h"

#include <QSqlQuery>

namespace tl {

namespace {

// A server looks after its pages itself; what it may lack is a table or a
// column the program reads.
QStringList missingDeclared(const Database& db, int limit) {
    QStringList problems;
    for (const TableDef& def : Schema::accountSetTables()) {
        if (!db.tableExists(def.name)) {
            problems << QStringLiteral("缺少表 %1").arg(def.name);
            continue;
        }
        const QStringList columns = db.columnNames(def.name);
        for (const ColumnDef& c : def.columns) {
            if (!columns.contains(c.name, Qt::CaseInsensitive))
                problems << QStringLiteral("表 %1 缺少列 %2").arg(def.name, c.name);
        }
    }
    return problems.mid(0, qMax(1, limit));
}

} // namespace

QStringList integrityProblems(const Database& db, int limit) {
    if (db.isServer())
        return missingDeclared(db, limit);
    QStringList problems;
    // The pragma takes its limit as part of the statement, not as a bound value.
    QSqlQuery q = db.run(QStringLiteral("PRAGMA integrity_check(%1)").arg(qMax(1, limit)));
    while (q.next()) {
        const QString line = q.value(0).toString();
        if (line != QLatin1String("ok"))
            problems << line;
    }
    return problems;
}

} // namespace tl
