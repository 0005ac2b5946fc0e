#pragma once

#include <QLabel>
#include <QTimer>

namespace tl {

// The main window's status line ("LBL"): a message shown through
// showStatusText() goes back to the idle text after 15 seconds, or earlier
// through expire() (the main window calls it on every tab change). Text set
// straight on the label (the progress window's) stays until replaced.
class StatusLine : public QLabel {
    Q_OBJECT

public:
    StatusLine(const QString& idleText, QWidget* parent);
    void tell(const QString& text);
    // Gives the line its idle text back unless something else has written it since.
    void expire();

private:
    QString m_idle;
    QString m_shown;
    QTimer m_expiry;
};

// Puts a line of feedback ("表格已导出到：…") into the status line of the main
// window that holds the widget; does nothing when that window has none.
void showStatusText(QWidget* inside, const QString& text);
// The message shown there is over (the page it was about was left).
void clearStatusText(QWidget* inside);
// The line a window tells its operator through: the main window's status
// line, or the "status" label of an entry window or editor; null when none.
QLabel* statusLineOf(QWidget* window);

} // namespace tl
