#include "core/values/Period.h"

#include <QStringList>

namespace tl {

QString Period::startBound() const {
    return first.isValid() ? first.toString(Qt::ISODate) : QString();
}

QString Period::endBound() const {
    if (!last.isValid() || last.year() > 9999)
        return {};
    // Past 9999-12-31 there is no ISO text: every later date text counts.
    return last.addDays(1).toString(Qt::ISODate);
}

QString Period::condition(const QString& column) const {
    QStringList parts;
    if (!startBound().isEmpty())
        parts << column + QStringLiteral(">=?");
    if (!endBound().isEmpty())
        parts << column + QStringLiteral("<?");
    return parts.join(QStringLiteral(" AND "));
}

QVariantList Period::binds() const {
    QVariantList values;
    for (const QString& bound : {startBound(), endBound()}) {
        if (!bound.isEmpty())
            values << bound;
    }
    return values;
}

} // namespace tl
