#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace tl {

class Database;

// What the transfer entry holds; an ID of 0 means nothing chosen.
struct TransferInput {
    int iid = 0;    // warehouse the goods enter
    int oid = 0;    // warehouse the goods leave
    int pid = 0;    // product
    double num = 0; // stored and moved rounded halves to even
    QDate date;
    QString memo;
};

// Saving transfers between warehouses: each save moves the quantity from the
// out-warehouse to the in-warehouse together with writing the record. The
// out-warehouse may go below zero.
class TransferStore {
public:
    // The first failing check as the message to show; empty when it passes:
    // all three chosen, a quantity within RecordStore's range and other than
    // 0, two different warehouses, a date within RecordStore's range. add and
    // modify throw DbError::refused for an unsound quantity or date.
    static QString check(const TransferInput& input);
    // The quantity part of check: within RecordStore's range and other than 0
    // once rounded.
    static QString checkQuantity(double num);
    static qint64 add(const Database& db, const TransferInput& input);
    // Moves back what the stored transfer moved and moves the new quantity.
    // False with "没找到要修改的记录！" in message, nothing changed, when it is gone.
    static bool modify(const Database& db, qint64 id, const TransferInput& input,
                       QString* message = nullptr);
    static std::optional<TransferInput> load(const Database& db, qint64 id);

    // "可调库存量为：" the out-warehouse's stock plus what the transfer being
    // modified (id) already took from it. Empty until out-warehouse and
    // product are chosen.
    static QString quantityHint(const Database& db, int oid, int pid, qint64 id);
    // The number in that hint: the most that can leave before the
    // out-warehouse goes below zero. Nothing until both are chosen.
    static std::optional<qint64> quantityLimit(const Database& db, int oid, int pid, qint64 id);
};

} // namespace tl
