#pragma once

#include <QDate>
#include <QString>

namespace tl {

class Database;
class Progress;

// The stock table: one running balance per warehouse (SID) and product (PID).
// Quantities pass here as whole numbers; nothing refuses a change, so a
// balance may go below zero.
class StockLedger {
public:
    // Rebuilding as of this date counts every record and replaces Stock.
    static const QDate allDates; // 2200-01-01

    // The first matching row's Num rounded halves to even; 0 when there is none.
    static int stockQty(const Database& db, int sid, int pid);
    // Adds change to the first matching row, creating the row when there is none.
    static void addStock(const Database& db, int sid, int pid, qint64 change);
    // A product's field as trimmed text; empty when the product does not exist.
    static QString productField(const Database& db, int pid, const QString& field);
};

} // namespace tl
