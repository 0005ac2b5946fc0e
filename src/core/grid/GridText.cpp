#include "core/grid/GridText.h"

#include <cmath>

namespace tl {

QString groupedMoney(double value) {
    if (!std::isfinite(value))
        return QString::number(value);
    // The common case without the general formatter: whole cents, rounded
    // half away from zero, written digit by digit (a long list shows
    // hundreds of thousands of these).
    const double magnitude = std::fabs(value);
    if (magnitude < 1e13) {
        qint64 cents = std::llround(magnitude * 100.0);
        char buf[32];
        int pos = sizeof(buf);
        buf[--pos] = static_cast<char>('0' + cents % 10);
        cents /= 10;
        buf[--pos] = static_cast<char>('0' + cents % 10);
        cents /= 10;
        buf[--pos] = '.';
        int digits = 0;
        do {
            if (digits > 0 && digits % 3 == 0)
                buf[--pos] = ',';
            buf[--pos] = static_cast<char>('0' + cents % 10);
            cents /= 10;
            ++digits;
        } while (cents > 0);
        const bool zero = digits == 1 && buf[pos] == '0' && buf[sizeof(buf) - 1] == '0' &&
                          buf[sizeof(buf) - 2] == '0';
        if (value < 0 && !zero)
            buf[--pos] = '-';
        return QString::fromLatin1(buf + pos, static_cast<qsizetype>(sizeof(buf)) - pos);
    }
    const QString plain = QString::number(std::fabs(value), 'f', 2);
    const qsizetype point = plain.size() - 3; // 'f' with 2 decimals always has ".dd"
    const bool negative = value < 0 && plain != QLatin1String("0.00");
    QString out;
    out.reserve(plain.size() + point / 3 + 1);
    if (negative)
        out += QLatin1Char('-');
    for (qsizetype i = 0; i < point; ++i) {
        if (i > 0 && (point - i) % 3 == 0)
            out += QLatin1Char(',');
        out += plain[i];
    }
    out += QStringView(plain).mid(point);
    return out;
}

QString gridDate(const QString& iso) {
    if (iso.size() < 10 || iso[4] != QLatin1Char('-') || iso[7] != QLatin1Char('-') ||
        (iso.size() > 10 && iso[10] != QLatin1Char(' ') && iso[10] != QLatin1Char('T')))
        return iso;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!iso[i].isDigit())
            return iso;
    }
    QString out = iso.left(10);
    out[4] = QLatin1Char('.');
    out[7] = QLatin1Char('.');
    return out;
}

} // namespace tl
