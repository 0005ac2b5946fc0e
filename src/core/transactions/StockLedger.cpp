#include "transactions/StockLedger.h"

#include "data/Database.h"
#include "data/Helpers.h"

#include <limits>

namespace tl {

const QDate StockLedger::allDates(2200, 1, 1);

int StockLedger::stockQty(const Database& db, int sid, int pid) {
    const QVariant num =
        db.value(QStringLiteral("SELECT Num FROM Stock WHERE SID=? AND PID=? ORDER BY ID LIMIT 1"),
                 {sid, pid});
    return roundHalfEven(num.toDouble());
}

void StockLedger::addStock(const Database& db, int sid, int pid, qint64 change) {
    const double amount = static_cast<double>(change);
    const int changed = db.exec(
        QStringLiteral("UPDATE Stock SET Num=coalesce(Num,0)+? WHERE ID=(SELECT ID FROM Stock "
                       "WHERE SID=? AND PID=? ORDER BY ID LIMIT 1)"),
        {amount, sid, pid});
    if (changed == 0)
        db.exec(QStringLiteral("INSERT INTO Stock (SID, PID, Num) VALUES (?, ?, ?)"),
                {sid, pid, amount});
}

QString StockLedger::productField(const Database& db, int pid, const QString& field) {
    return db.nameById(QStringLiteral("Product"), pid, QStringLiteral("PID"), field);
}

} // namespace tl
