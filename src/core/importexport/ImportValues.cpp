#include "importexport/ImportValues.h"

#include <QRegularExpression>

namespace tl {

double leadingNumber(const QString& text) {
    QString compact;
    compact.reserve(text.size());
    for (const QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n'))
            compact += c;
    qsizetype i = 0;
    const qsizetype n = compact.size();
    auto digit = [&](qsizetype k) { return k < n && compact[k] >= u'0' && compact[k] <= u'9'; };
    if (i < n && (compact[i] == QLatin1Char('+') || compact[i] == QLatin1Char('-')))
        ++i;
    bool digits = false;
    while (digit(i)) {
        ++i;
        digits = true;
    }
    if (i < n && compact[i] == QLatin1Char('.')) {
        ++i;
        while (digit(i)) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0;
    qsizetype end = i;
    if (i < n && (compact[i] == QLatin1Char('e') || compact[i] == QLatin1Char('E'))) {
        qsizetype k = i + 1;
        if (k < n && (compact[k] == QLatin1Char('+') || compact[k] == QLatin1Char('-')))
            ++k;
        if (digit(k)) {
            while (digit(k))
                ++k;
            end = k;
        }
    }
    QString number = compact.left(end);
    if (number.endsWith(QLatin1Char('.')))
        number.chop(1);
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok ? v : 0;
}

double importMoney(const QString& text) {
    QString t = text;
    t.remove(QLatin1Char('$'));
    t.remove(QChar(0xFFE5)); // ￥
    t.remove(QChar(0x00A5)); // ¥, the half-width form many files use
    return leadingNumber(t);
}

QDate importDate(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{4})\\s*[-/.年]\\s*(\\d{1,2})\\s*[-/.月]\\s*(\\d{1,2})\\s*日?"
                       "(?:[\\sT].*)?$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

} // namespace tl
