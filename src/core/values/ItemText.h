#pragma once

#include <QString>
#include <QVariant>

namespace tl {

// "12‖铅笔": the drop-down item of a record; the key is the part before "‖".
QString itemText(const QString& name, const QVariant& key);
// The key of an item text: 0 when there is no "‖" or no leading number;
// a fractional number rounds to the nearest whole one, halves to even.
int itemId(const QString& text);
// The name of an item text: the part after "‖", the whole text when there is none.
QString itemName(const QString& text);

} // namespace tl
