#include "core/values/ItemText.h"

#include "core/values/Numbers.h"
#include <QRegularExpression>
#include <cmath>

namespace tl {

QString itemText(const QString& name, const QVariant& key) {
    return toText(key) + QChar(0x2016) + name;
}

int itemId(const QString& text) {
    const qsizetype sep = text.indexOf(QChar(0x2016));
    if (sep < 0)
        return 0;
    const std::optional<double> key = readLeadingNumber(text.left(sep));
    return key ? roundHalfEven(*key) : 0;
}

QString itemName(const QString& text) {
    const qsizetype sep = text.indexOf(QChar(0x2016));
    return sep < 0 ? text : text.mid(sep + 1);
}

} // namespace tl
