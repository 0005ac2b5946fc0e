#include "importexport/ImportValues.h"

namespace tl {

double importNumber(const QString& text) {
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
    return importNumber(t);
}

QDate importDate(const QString& text) {
    // Read by hand: this runs once per imported line.
    const QChar* d = text.constData();
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto blanks = [&] {
        while (i < n && d[i].isSpace())
            ++i;
    };
    auto number = [&](int minDigits, int maxDigits) {
        int value = 0, digits = 0;
        while (i < n && digits < maxDigits && d[i] >= u'0' && d[i] <= u'9') {
            value = value * 10 + (d[i].unicode() - u'0');
            ++i;
            ++digits;
        }
        return digits >= minDigits ? value : -1;
    };
    auto separator = [&](char16_t word) {
        blanks();
        if (i < n && (d[i] == u'-' || d[i] == u'/' || d[i] == u'.' || d[i] == word)) {
            ++i;
            blanks();
            return true;
        }
        return false;
    };
    blanks();
    const int year = number(4, 4);
    if (year < 0 || !separator(u'年'))
        return {};
    const int month = number(1, 2);
    if (month < 0 || !separator(u'月'))
        return {};
    const int day = number(1, 2);
    if (day < 0)
        return {};
    blanks();
    if (i < n && d[i] == u'日')
        ++i;
    // A time may follow after a blank or "T"; nothing else may.
    if (i < n && !d[i - 1].isSpace() && d[i] != u'T' && !d[i].isSpace())
        return {};
    return QDate(year, month, day);
}

} // namespace tl
