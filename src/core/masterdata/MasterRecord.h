#pragma once

#include "core/masterdata/MasterTable.h"

#include <QMap>
#include <QString>
#include <optional>

namespace tl {

class Database;
struct Session;

// What an editor shows of one record: the texts of its boxes by box index and
// the chosen drop-down item ("key‖name").
struct MasterInput {
    qint64 key = 0; // 0 or less: a new record
    QMap<int, QString> boxes;
    QString comboText;

    QString box(int index) const { return boxes.value(index); }
};

struct SaveOutcome {
    enum class Status {
        Stored,  // the record was added or changed
        Refused, // nothing written; the message says why and the boxes keep their texts
        Missing, // the record no longer exists; nothing written
    };
    Status status = Status::Refused;
    QString message; // to show the operator; empty when there is nothing to say
    qint64 key = 0;  // the stored record
    // The editor empties its boxes and returns to adding. After a change of a
    // product, customer, supplier or operator this happens only for an operator
    // who may also add, so one who may only modify keeps the record on screen;
    // the account, class, warehouse and region editors always empty.
    bool clearForm = false;
    // What a refusal is about, for the focus to go to: a box (MasterField::box),
    // the editor's list (comboAtFault), or nothing (-1).
    static constexpr int comboAtFault = -2;
    int faultBox = -1;

    bool stored() const { return status == Status::Stored; }
};

// The record as the editor's boxes show it; nothing when no record has the key.
std::optional<MasterInput> loadMasterRecord(const Database& db, MasterTable table, qint64 key);

// Adds (key 0) or changes a record from an editor's boxes, after the table's
// checks: the right to add or modify, equal passwords (a new operator needs
// one; a changed one left empty keeps the stored password), a readable, finite price, a
// chosen class, a product name, a name not yet used in any letter case.
// Writes nothing unless every check passes. Passwords are stored hashed.
// The operator's rights are never written from here: a new operator starts
// without rights and only the rights editor changes them.
SaveOutcome saveMasterRecord(const Database& db, const Session& session, MasterTable table,
                             const MasterInput& input);

// The text a master editor shows when a save is refused for a missing right.
QString noRightMessage();

} // namespace tl
