#include "transactions/StockCheck.h"

#include "data/Database.h"
#include "transactions/StockLedger.h"

#include <QMap>
#include <QSqlQuery>
#include <cmath>

namespace tl {
namespace {

struct Balance {
    double stored = 0;
    double rebuilt = 0;
    int storedRows = 0;
};

using Key = std::pair<int, int>; // product, warehouse: the order of the report

// Quantities are whole numbers; totals of REAL columns may carry float noise.
bool same(double a, double b) {
    return std::fabs(a - b) < 1e-6;
}

} // namespace

QList<StockDifference> compareStockWithRecords(const Database& db, Progress& progress) {
    QMap<Key, Balance> balances;
    {
        QSqlQuery q = db.run(QStringLiteral("SELECT PID, SID, total(Num), count(*) FROM Stock "
                                            "GROUP BY PID, SID"));
        while (q.next()) {
            Balance& b = balances[{q.value(0).toInt(), q.value(1).toInt()}];
            b.stored = q.value(2).toDouble();
            b.storedRows = q.value(3).toInt();
        }
    }
    {
        // The very rebuild the stock report runs, as of the last day a record
        // may carry: every record counts, and Stock itself is left alone (so a
        // file opened read-only can be checked too). Its work tables are
        // undone before anything is kept.
        Transaction undo(db);
        const QString result = QStringLiteral("T_StockCheck");
        StockLedger::rebuildStock(db, QDate(9999, 12, 31), result, progress);
        QSqlQuery q = db.run(QStringLiteral("SELECT PID, SID, total(Num) FROM T_StockCheck "
                                            "GROUP BY PID, SID"));
        while (q.next())
            balances[{q.value(0).toInt(), q.value(1).toInt()}].rebuilt = q.value(2).toDouble();
    }
    QList<StockDifference> differences;
    for (auto it = balances.cbegin(); it != balances.cend(); ++it) {
        const Balance& b = it.value();
        if (same(b.stored, b.rebuilt) && b.storedRows <= 1)
            continue;
        differences.append({it.key().second, it.key().first, b.stored, b.rebuilt, b.storedRows});
    }
    return differences;
}

} // namespace tl
