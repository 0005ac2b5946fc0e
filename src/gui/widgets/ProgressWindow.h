#pragma once

#include "core/support/Progress.h"

#include <QPointer>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace tl {

class ProgressBar;

// The progress display of long work: a small tool window that stays above
// every other window, with a text line and a blue bar filling from the left.
// The text also shows in the main window's status label while the display is
// open; closing the display gives the label back the text it had before.
// Every call lets pending events run (user input excepted, so a click
// cannot start a second piece of work in the middle of this one).
class ProgressWindow : public Progress {
public:
    ProgressWindow();
    ~ProgressWindow() override;
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // The label that mirrors the caption (the main window's status line).
    void setStatusLabel(QLabel* label) { m_status = label; }

    void show(const QString& caption, int total) override;
    void step(int position) override;
    void advance(int steps) override { step(m_position + steps); }
    void close() override;
    // While offered, the window shows a 取消 button (Escape too) and keeps
    // the other windows from input instead of holding all input back.
    void offerCancel(bool on) override;
    bool cancelled() const override { return m_cancelled; }

    QString caption() const { return m_caption; }
    int total() const { return m_total; }
    int position() const { return m_position; }
    // The tool window, created on the first show (tests, screenshots).
    QWidget* window() const { return m_window; }

private:
    void build();
    void processEvents();

    QPointer<QWidget> m_window;
    QLabel* m_text = nullptr;
    ProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_cancelOffered = false;
    bool m_cancelled = false;
    QPointer<QLabel> m_status;
    QString m_statusBefore;
    QString m_caption;
    int m_total = 0;
    int m_position = 0;
};

} // namespace tl
