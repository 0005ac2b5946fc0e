#pragma once

#include <QList>
#include <QtGlobal>

namespace tl {

class Database;

// Half a year of trade for the sample account set, simulated day by day so
// that goods are bought before they are sold and stock stays positive.
class SampleTrade {
public:
    // Keys of the sample's master rows, in catalogue order.
    struct Keys {
        QList<int> products, customers, suppliers, storages, accounts;
        QList<int> sellers; // operators who appear as salespeople
    };

    // Writes the Sale, Buy and Adjust records and the Stock rows they leave
    // behind (one per warehouse and product that moved). Runs inside the
    // caller's transaction.
    static void generate(const Database& db, const Keys& keys, quint32 seed);
};

} // namespace tl
