#include "core/transactions/StockCheck.h"

#include "core/data/Database.h"
#include "core/transactions/RecordStore.h"
#include "core/transactions/StockLedger.h"

#include <QMap>
#include <QSqlQuery>
#include <cmath>

namespace tl {
namespace {

struct Balance {
    double stored = 0;
    double rebuilt = 0;
    double allowance = 0; // what rounding each record's movement may account for
    int storedRows = 0;
};

using Key = std::pair<int, int>; // product, warehouse: the order of the report

// Totals of REAL columns carry float noise.
constexpr double kNoise = 1e-6;

// Per pair, how far saving may have moved Stock away from the exact sum: the
// distance of each quantity to its nearest whole number (a half is 0.5 away
// whichever way it rounds), for every record that moves the pair.
const QString kAllowanceSql =
    QStringLiteral("SELECT PID, SID, COALESCE(SUM(abs(Num - round(Num))), 0) FROM ("
                   "SELECT PID, SID, Num FROM Buy UNION ALL SELECT PID, SID, Num FROM Sale "
                   "UNION ALL SELECT PID, IID, Num FROM Adjust UNION ALL SELECT PID, OID, Num FROM "
                   "Adjust) AS moves "
                   "GROUP BY PID, SID");

} // namespace

StockComparison compareStockWithRecords(const Database& db, Progress& progress) {
    QMap<Key, Balance> balances;
    {
        QSqlQuery q =
            db.run(QStringLiteral("SELECT PID, SID, COALESCE(SUM(Num), 0), count(*) FROM Stock "
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
        StockLedger::rebuildStock(db, RecordStore::lastDate, result, progress);
        QSqlQuery q =
            db.run(QStringLiteral("SELECT PID, SID, COALESCE(SUM(Num), 0) FROM T_StockCheck "
                                  "GROUP BY PID, SID"));
        while (q.next())
            balances[{q.value(0).toInt(), q.value(1).toInt()}].rebuilt = q.value(2).toDouble();
    }
    {
        QSqlQuery q = db.run(kAllowanceSql);
        while (q.next()) {
            auto it = balances.find({q.value(0).toInt(), q.value(1).toInt()});
            if (it != balances.end())
                it->allowance = q.value(2).toDouble();
        }
    }
    StockComparison result;
    for (auto it = balances.cbegin(); it != balances.cend(); ++it) {
        const Balance& b = it.value();
        const double gap = std::fabs(b.stored - b.rebuilt);
        if (b.storedRows <= 1 && gap < kNoise)
            continue;
        if (b.storedRows <= 1 && gap <= b.allowance + kNoise) {
            ++result.roundedPairs;
            continue;
        }
        result.differences.append(
            {it.key().second, it.key().first, b.stored, b.rebuilt, b.storedRows});
    }
    return result;
}

} // namespace tl
