#pragma once

#include "core/support/Outcome.h"

#include <QString>
#include <QtGlobal>

namespace tl {

class Database;

// The sample account set a new user finds on first start: realistic master
// data and half a year of purchases, sales and transfers ending today, with a
// Stock table that matches the records.
class SampleData {
public:
    static const QString name;       // "示例套帐"
    static const QString storedPath; // "./示例套帐.lbk": moves with the program folder
    static constexpr quint32 kSeed = 20090204;

    // On first start (the program folder has no Parameter.mdb yet): makes the
    // sample account set from the template and a registry that lists it. An
    // account-set file already lying there is registered as it is. Returns true
    // when it created the registry; outcome holds what the operator is told.
    static bool ensureFirstStart(Outcome& outcome);

    // Fills an empty account set (a fresh copy of the template) in one
    // transaction. The same seed and the same today give the same data.
    static void fill(const Database& db, quint32 seed = kSeed);
};

} // namespace tl
