#pragma once

class QString;
class QWidget;

namespace tl {

// Puts a line of feedback ("表格已导出到：…") into the status line of the main
// window that holds the widget; does nothing when that window has none.
void showStatusText(QWidget* inside, const QString& text);

} // namespace tl
