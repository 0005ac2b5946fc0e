#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace tl {

class Database;

// What the purchase entry holds; an ID of 0 means nothing chosen.
struct BuyInput {
    int pid = 0; // product
    int vid = 0; // supplier
    int aid = 0; // account that pays
    int sid = 0; // warehouse the goods go into
    double price = 0;
    double num = 0; // kept as typed; the stock moves by it rounded halves to even
    double pay = 0; // paid so far
    QDate date;
    QString memo;
};

// Saving purchases: each save puts the quantity into the warehouse together
// with writing the record. Reducing or moving a purchase may drive a balance
// below zero.
class BuyStore {
public:
    // The first missing choice, then the first unsound value (RecordStore's
    // checks of quantity, price, amount and date), as the message to show;
    // empty when the input may be saved. add and modify throw DbError::refused
    // for unsound values, so nothing unsound is ever written.
    static QString check(const BuyInput& input);
    static qint64 add(const Database& db, const BuyInput& input);
    // Takes the stored purchase's quantity back out and puts the new one in.
    // False with "没找到要修改的记录！" in message, nothing changed, when it is gone.
    static bool modify(const Database& db, qint64 id, const BuyInput& input,
                       QString* message = nullptr);
    static std::optional<BuyInput> load(const Database& db, qint64 id);

    // "此产品销售数量最小可调至:" for the purchase being modified (id) on its
    // own warehouse and product: its quantity less what the warehouse still
    // holds; otherwise the warehouse's stock. Then the product's unit. Empty
    // until product and warehouse are chosen.
    static QString quantityHint(const Database& db, int sid, int pid, qint64 id);
    // The least the purchase being modified (id) can be cut to before its
    // warehouse goes below zero; nothing for a new purchase or when the
    // warehouse or product differs from the stored one.
    static std::optional<qint64> quantityFloor(const Database& db, int sid, int pid, qint64 id);
};

} // namespace tl
