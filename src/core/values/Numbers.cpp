#include "core/values/Numbers.h"

#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace tl {

namespace {

// Up to 15 significant digits written out in full: the 'g' form would turn
// 0.00001 into 1e-05, which the money form then misreads.
QString plainNumber(double v) {
    if (!std::isfinite(v))
        return QString::number(v);
    if (v == 0)
        return QStringLiteral("0");
    QString s = QString::number(v, 'g', 15);
    const qsizetype e = s.indexOf(QLatin1Char('e'));
    if (e < 0)
        return s;
    const int exponent = s.mid(e + 1).toInt();
    if (exponent >= 0)
        return QString::number(v, 'f', 0);
    // 15 significant digits starting at the exponent's place; 340 is past
    // the smallest double, so nothing non-zero disappears.
    s = QString::number(v, 'f', std::min(14 - exponent, 340));
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

} // namespace

QString toText(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return plainNumber(value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return value.toString().trimmed();
    }
}

double roundSum(double value) {
    if (!std::isfinite(value))
        return value;
    // Beyond 2^53 / 10^6 a double holds no sixth decimal to round.
    if (std::fabs(value) >= 9.0e9)
        return value;
    const double r = std::round(value * 1e6) / 1e6;
    return r == 0 ? 0.0 : r;
}

QString sumText(double value) {
    return plainNumber(roundSum(value));
}

QString sumMoneyText(double value) {
    return moneyText(sumText(value));
}

double cellNumber(const QString& text) {
    bool ok = false;
    const double v = moneyValue(text).trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

std::optional<double> readLeadingNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(0).trimmed().toDouble();
}

double leadingNumber(const QString& text) {
    return readLeadingNumber(text).value_or(0);
}

QString moneyValue(const QString& text) {
    QString s = text;
    s.remove(QChar(0xFFE5)).remove(QChar(0x00A5)).remove(QLatin1Char(','));
    return s;
}

QString moneyText(const QString& text) {
    QString s = moneyValue(text);
    const qsizetype p = s.indexOf(QLatin1Char('.'));
    if (p < 0)
        return s + QStringLiteral(".00");
    if (p == s.size() - 1)
        return s + QStringLiteral("00");
    if (p == s.size() - 2)
        return s + QStringLiteral("0");
    return s.left(p + 3);
}

int roundHalfEven(double value) {
    if (std::isnan(value))
        return 0;
    const double r = std::nearbyint(value); // default rounding mode: halves to even
    if (r >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (r <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

} // namespace tl
