#pragma once

#include "data/Progress.h"

#include <QList>

namespace tl {

class Database;

// One warehouse and product whose stored balance differs from what the
// records give.
struct StockDifference {
    int sid = 0;
    int pid = 0;
    double stored = 0;  // the sum of its Stock rows; 0 when there is none
    double rebuilt = 0; // the balance the records give; 0 when none move it
    int storedRows = 0; // more than one row is a difference of its own
};

// Compares Stock with the balances the stock-ledger rebuild computes from the
// records, without changing anything: the rebuild leaves Stock alone and runs
// inside a transaction that is rolled back. Ordered by product and warehouse.
QList<StockDifference> compareStockWithRecords(const Database& db,
                                               Progress& progress = Progress::silent());

} // namespace tl
