#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace tl {

// An amount in yuan as whole cents, rounded half away from zero. The stored
// double is first read to six decimals, so binary noise (1.005 held as
// 1.00499999…) rounds as the operator typed it. None when it is not a number
// or not below a trillion yuan.
std::optional<qint64> amountCents(double yuan);

// The amount in Chinese capitals as banks write it on slips and cheques:
// 1234.56 "壹仟贰佰叁拾肆元伍角陆分", 100010.5 "壹拾万零壹拾元伍角整",
// 10.05 "壹拾元零伍分". One 零 stands for each run of skipped digits, also
// across the 万 and 亿 groups; none after 元 when 角 follows. 整 closes an
// amount without 分. An amount below one yuan starts with its 角 or 分
// ("伍分"), as banks write it; nothing at all is "零元整". None for a
// negative amount (a slip of returns has no capitals) or one of a trillion
// yuan or more.
std::optional<QString> chineseCapitals(qint64 cents);

} // namespace tl
