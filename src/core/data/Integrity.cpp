#include "core/data/Integrity.h"

#include "core/data/Database.h"

#include <QSqlQuery>

namespace tl {

QStringList integrityProblems(const Database& db, int limit) {
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
