#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace tl {

class Database;

// What the sale entry holds; an ID of 0 means nothing chosen.
struct SaleInput {
    int pid = 0; // product
    int cid = 0; // customer
    int sid = 0; // warehouse the goods leave
    int aid = 0; // account that receives the money
    int uid = 0; // salesperson
    double price = 0;
    double num = 0; // kept as typed; the stock moves by it rounded halves to even
    double pay = 0; // received so far
    QDate date;
    QString memo;
};

// Saving sales: each save takes the quantity out of the warehouse together
// with writing the record. A sale may drive a balance below zero.
class SaleStore {
public:
    // The first missing choice, then the first unsound value (RecordStore's
    // checks of quantity, price, amount and date), as the message to show;
    // empty when the input may be saved. add and modify throw DbError::refused
    // for unsound values, so nothing unsound is ever written.
    static QString check(const SaleInput& input);
    static qint64 add(const Database& db, const SaleInput& input);
    // Gives the stored sale's quantity back and takes the new one. False with
    // "没找到要修改的记录！" in message, nothing changed, when it is gone.
    static bool modify(const Database& db, qint64 id, const SaleInput& input,
                       QString* message = nullptr);
    static std::optional<SaleInput> load(const Database& db, qint64 id);

    // "此产品销售数量最大可调至:" the stock of the chosen warehouse, plus what
    // the sale being modified (id, 0 for a new one) already took from it, and
    // the product's unit. Empty until product and warehouse are chosen.
    static QString quantityHint(const Database& db, int sid, int pid, qint64 id);
    // The number in that hint: the most that can be sold before the warehouse
    // goes below zero. Nothing until product and warehouse are chosen.
    static std::optional<qint64> quantityLimit(const Database& db, int sid, int pid, qint64 id);
};

} // namespace tl
