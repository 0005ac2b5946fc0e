#pragma once

#include <QString>

namespace tl {

class Database;

// What the sale and purchase entries compute from their boxes.
class EntryHints {
public:
    struct Amounts {
        double total = 0; // price × quantity
        double owed = 0;  // total less what was paid
        QString totalText;
        QString owedText;
        bool owing = false; // owed above 0: shown in red
    };
    static Amounts amounts(double price, double num, double paid);

    // A typed number: its leading numeric part, 0 when there is none.
    static double enteredNumber(const QString& text);

    // "本产品销售参考价为:" + the product's reference price + "元"; empty
    // when no product is chosen.
    static QString priceHint(const Database& db, int pid);
};

} // namespace tl
