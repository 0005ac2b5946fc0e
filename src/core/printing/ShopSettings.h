#pragma once

#include "core/support/Outcome.h"

#include <QString>
#include <QtGlobal>

namespace tl {

class Database;
struct Session;

// What the slips print about the shop: kept in the account set, so every
// computer and the command-line tool print the same.
struct ShopSettings {
    QString name;
    QString address;
    QString phone;

    bool operator==(const ShopSettings&) const = default;

    // Empty texts when nothing is set yet, or when a file opened for reading
    // only is older than the settings.
    static ShopSettings read(const Database& db);
    // The longest texts the slip's head has room for, in letters.
    static constexpr int nameLimit = 40, addressLimit = 80, phoneLimit = 40;
    // Saves the trimmed texts. Refused, with the reason, without the right
    // or when a text is longer than its limit.
    static Outcome save(const Database& db, const Session& session, const ShopSettings& settings);
    // The shop's texts change what every slip tells customers and suppliers:
    // they belong to whoever administers the account set, the holder of
    // "修改人员权限".
    static QString right();
};

// The running numbers of the slips, one series for sales and one for
// purchases.
enum class SlipKind { Sale, Purchase };

class SlipNumbers {
public:
    // The number the next slip of this kind would take; nothing is taken.
    static qint64 next(const Database& db, SlipKind kind);
    // Takes the next number in one transaction: two computers printing at
    // once get two numbers. Throws DbError (Kind::ReadOnly) for a file
    // opened for reading only.
    static qint64 take(const Database& db, SlipKind kind);
    // Gives a number back after a print that did not happen, when it is
    // still the last one taken (else the gap stays: a later slip has the next).
    static void giveBack(const Database& db, SlipKind kind, qint64 number);
};

} // namespace tl
