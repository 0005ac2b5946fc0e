#pragma once

#include "core/support/Progress.h"

#include <QDate>
#include <QString>

namespace tl {

class Database;

// The stock table: one running balance per warehouse (SID) and product (PID).
// Quantities pass here as whole numbers; nothing refuses a change, so a
// balance may go below zero.
class StockLedger {
public:
    // Rebuilding as of this date counts every record and replaces Stock.
    static const QDate allDates; // 2200-01-01

    // The pair's Num rounded halves to even; 0 when it has no row.
    static int stockQty(const Database& db, int sid, int pid);
    // Adds change to the pair's row (Stock holds one per pair), creating the
    // row when there is none.
    static void addStock(const Database& db, int sid, int pid, qint64 change);
    // A product's field as trimmed text; empty when the product does not exist.
    static QString productField(const Database& db, int pid, const QString& field);

    // Balances per product and warehouse as of asOf into resultTable (PID, SID,
    // Num, one row per pair; a work table whose name begins with "T_"), through
    // the work tables T_Buy1 (signed movements) and T_TBuy (purchases per
    // product up to asOf). Work tables are temporary: they belong to this
    // connection. As of allDates Stock is brought in line with the balances,
    // writing only the pairs that differ.
    static void rebuildStock(const Database& db, const QDate& asOf, const QString& resultTable,
                             Progress& progress = Progress::silent());
    // How many product-and-warehouse balances Stock holds.
    static int stockRows(const Database& db);

    // rebuildStock, then each balance replaced by its money value: a product's
    // first-in-first-out value (FifoCosting.h) spread over its warehouses by quantity, in
    // cents, the rounding difference on the product's first row. The consumed
    // units are those bought up to asOf less the balance at asOf, so a past
    // date is valued at the prices paid by then. T_PID1 keeps the balance per
    // product.
    static void valueStock(const Database& db, const QDate& asOf, const QString& resultTable,
                           Progress& progress = Progress::silent());
};

} // namespace tl
