#include "core/printing/ChineseAmount.h"

#include <cmath>

namespace tl {

namespace {

constexpr qint64 kLimitYuan = 1'000'000'000'000; // 万亿 and above have no group here

const QString digits = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
const QString places = QStringLiteral("仟佰拾");

// A group of four digits (0..9999) with its 仟佰拾 places; `zeroBefore` asks
// for a 零 in front when the group's leading places are skipped.
QString groupText(int group, bool zeroBefore) {
    QString text;
    bool pendingZero = zeroBefore;
    for (int p = 0, divisor = 1000; p < 4; ++p, divisor /= 10) {
        const int d = group / divisor % 10;
        if (d == 0) {
            pendingZero = !text.isEmpty() || zeroBefore;
            continue;
        }
        if (pendingZero)
            text += digits.at(0);
        pendingZero = false;
        text += digits.at(d);
        if (p < 3)
            text += places.at(p);
    }
    return text;
}

QString yuanText(qint64 yuan) {
    // Groups from the top: 亿 (below 10'000 under the limit), 万, units.
    const int groups[3] = {int(yuan / 100'000'000), int(yuan / 10'000 % 10'000),
                           int(yuan % 10'000)};
    const QString units[3] = {QStringLiteral("亿"), QStringLiteral("万"), QString()};
    QString text;
    bool zeroPending = false;
    for (int g = 0; g < 3; ++g) {
        if (groups[g] == 0) {
            zeroPending = !text.isEmpty();
            continue;
        }
        // A lower group that does not fill its 仟 place, or follows an empty
        // group, is read with one 零: 壹拾万零壹拾, 壹亿零伍元.
        const bool zero = !text.isEmpty() && (zeroPending || groups[g] < 1000);
        text += groupText(groups[g], zero) + units[g];
        zeroPending = false;
    }
    return text;
}

} // namespace

std::optional<qint64> amountCents(double yuan) {
    if (!std::isfinite(yuan) || std::fabs(yuan) >= double(kLimitYuan))
        return std::nullopt;
    const qint64 micro = std::llround(yuan * 1e6);
    const qint64 cents = (std::llabs(micro) + 5'000) / 10'000;
    return micro < 0 ? -cents : cents;
}

std::optional<QString> chineseCapitals(qint64 cents) {
    if (cents < 0 || cents >= kLimitYuan * 100)
        return std::nullopt;
    const qint64 yuan = cents / 100;
    const int jiao = int(cents / 10 % 10), fen = int(cents % 10);
    if (cents == 0)
        return QStringLiteral("零元整");
    QString text;
    if (yuan > 0)
        text = yuanText(yuan) + QStringLiteral("元");
    if (jiao > 0)
        text += digits.at(jiao) + QStringLiteral("角");
    else if (fen > 0 && yuan > 0)
        text += digits.at(0); // 壹拾元零伍分
    if (fen > 0)
        text += digits.at(fen) + QStringLiteral("分");
    else
        text += QStringLiteral("整");
    return text;
}

} // namespace tl
