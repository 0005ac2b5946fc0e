#pragma once

#include "core/support/Progress.h"

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

struct StockComparison {
    QList<StockDifference> differences; // ordered by product and warehouse
    int roundedPairs = 0;               // pairs whose stored balance differs by rounding alone
};

// Compares Stock with the balances the stock-ledger rebuild computes from the
// records, without changing anything: the rebuild leaves Stock alone and runs
// inside a transaction that is rolled back.
//
// Saving moves Stock by each record's quantity rounded halves to even, while
// the rebuild sums the exact quantities, so a purchase of 2.5 leaves 2 after
// its save and 2.5 after a rebuild (and saves after a rebuild mix the two).
// A pair's stored balance is therefore right when it lies within the sum of
// |Num - round(Num)| over the records that move the pair (a transfer moves
// two); such pairs count as roundedPairs, only a larger gap is a difference.
StockComparison compareStockWithRecords(const Database& db,
                                        Progress& progress = Progress::silent());

} // namespace tl
