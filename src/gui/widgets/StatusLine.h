#pragma once

class QLabel;
class QString;
class QWidget;

namespace tl {

// Puts a line of feedback ("表格已导出到：…") into the status line of the main
// window that holds the widget; does nothing when that window has none. The
// line goes back to the window's idle text after 15 seconds, or earlier when
// clearStatusText() is called (the main window does on every tab change).
void showStatusText(QWidget* inside, const QString& text);
void clearStatusText(QWidget* inside);
// The label the main window's status line shows, with its idle text.
QLabel* makeStatusLine(QWidget* window, const QString& idleText);
// The line a window tells its operator through: the main window's status
// line, or the "status" label of an entry window or editor; null when none.
QLabel* statusLineOf(QWidget* window);

} // namespace tl
