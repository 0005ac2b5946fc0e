#pragma once

#include "core/values/Period.h"

#include <QString>
#include <vector>

namespace tl {

class Database;

// A sale or purchase as first-in-first-out costing needs it.
struct CostRecord {
    int pid = 0;
    int month = -1;    // year * 12 + month - 1; -1 when the date is unreadable
    qint64 order = -1; // the date and time as yyyymmddhhmmss; -1 when unreadable
    qint64 id = 0;
    double num = 0;
    double price = 0;
};

// Every record of Sale or Buy in the period, of one product (productId > 0)
// or of all, each product's oldest first, records of one moment in the order
// they were entered (a time of day counts after the day itself). Sorting here
// costs a fraction of an ORDER BY over the whole table.
std::vector<CostRecord> readCostRecords(const Database& db, const QString& table,
                                        const Period& period, int productId = 0);

// One product's purchase lots, oldest first, as first-in-first-out costing
// takes them up. Units are taken in whole numbers: a lot gives its quantity
// rounded halves to even, which is also how saving moves the stock table.
// What is left untouched is worth its quantity as bought.
class FifoLots {
public:
    FifoLots(const CostRecord* begin, const CostRecord* end);

    // Units gone before: taken from the oldest lots. Below zero (more came
    // back than went out) the oldest lot holds the extra units.
    void consume(qint64 units);
    // Takes units from the oldest lots left and returns what they cost at the
    // prices paid; units beyond the last lot cost nothing.
    double cost(qint64 units);
    // What the units left are worth at the prices paid for them.
    double remainingValue() const;

private:
    void next();

    const CostRecord* m_lot;
    const CostRecord* m_end;
    qint64 m_left = 0;    // units left of the current lot
    bool m_taken = false; // whether any unit of the current lot was taken
};

} // namespace tl
