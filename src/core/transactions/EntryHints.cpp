#include "core/transactions/EntryHints.h"

#include "core/transactions/StockLedger.h"
#include "core/values/Numbers.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace tl {

EntryHints::Amounts EntryHints::amounts(double price, double num, double paid) {
    Amounts a;
    a.total = price * num + 0.0; // never "-0"
    // Price × quantity carries binary noise (19.9 × 3 is 59.699999999999996):
    // what lies beyond the 15 digits the amounts are shown with is dropped, so
    // a total paid in full owes 0 and 59.69 paid owes 0.01.
    const double scale = std::max(std::abs(a.total), std::abs(paid));
    const double quantum = std::pow(10.0, std::floor(std::log10(scale)) - 14);
    a.owed = a.total - paid;
    if (quantum > 0 && std::isfinite(quantum))
        a.owed = std::round(a.owed / quantum) * quantum;
    a.owed += 0.0;
    a.totalText = toText(a.total);
    a.owedText = toText(a.owed);
    a.owing = a.owed > 0;
    return a;
}

double EntryHints::enteredNumber(const QString& text) {
    const double value = leadingNumber(text);
    return std::isfinite(value) ? value : 0;
}

QString EntryHints::priceHint(const Database& db, int pid) {
    if (pid == 0)
        return {};
    const double price = enteredNumber(StockLedger::productField(db, pid, QStringLiteral("Price")));
    return QStringLiteral("本产品销售参考价为:") + toText(price) + QStringLiteral("元");
}

} // namespace tl
