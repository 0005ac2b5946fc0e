#include "transactions/EntryHints.h"

#include "data/Helpers.h"
#include "transactions/StockLedger.h"

#include <QRegularExpression>
#include <cmath>

namespace tl {

EntryHints::Amounts EntryHints::amounts(double price, double num, double paid) {
    Amounts a;
    a.total = price * num + 0.0; // never "-0"
    a.owed = a.total - paid + 0.0;
    a.totalText = toText(a.total);
    a.owedText = toText(a.owed);
    a.owing = a.owed > 0;
    return a;
}

double EntryHints::enteredNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch m = number.match(text);
    const double value = m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0;
    return std::isfinite(value) ? value : 0;
}

QString EntryHints::priceHint(const Database& db, int pid) {
    if (pid == 0)
        return {};
    const double price = enteredNumber(StockLedger::productField(db, pid, QStringLiteral("Price")));
    return QStringLiteral("本产品销售参考价为:") + toText(price) + QStringLiteral("元");
}

} // namespace tl
