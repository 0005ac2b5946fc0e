#pragma once

#include <QString>

class QWidget;

namespace tl {

// What a form window's boxes, lists and dates hold, to tell later whether the
// operator typed something that is not saved. Computed boxes (read-only) and
// the grids do not count.
QString formContents(const QWidget* form);

// True when the form may close: nothing changed since `saved` (its contents
// when last loaded or saved), or the operator answered 是 to
// "放弃尚未保存的内容吗？".
bool mayDiscardTyping(const QWidget* form, const QString& saved);

} // namespace tl
