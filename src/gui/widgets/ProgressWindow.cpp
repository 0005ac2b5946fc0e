#include "gui/widgets/ProgressWindow.h"

#include "gui/widgets/Dialogs.h"
#include "gui/widgets/ProgressBar.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tl {

ProgressWindow::ProgressWindow() = default;

ProgressWindow::~ProgressWindow() {
    delete m_window;
}

void ProgressWindow::processEvents() {
    // With 取消 on offer the window is modal: a click can reach that button
    // but cannot start other work.
    QApplication::processEvents(m_cancelOffered ? QEventLoop::AllEvents
                                                : QEventLoop::ExcludeUserInputEvents);
}

void ProgressWindow::offerCancel(bool on) {
    if (!m_window)
        build();
    m_cancelOffered = on;
    if (on) { // a refusal stays readable after the work has stopped
        m_cancelled = false;
        m_cancel->setEnabled(true);
    }
    const bool shown = m_window->isVisible();
    if (shown)
        m_window->hide(); // modality changes only while hidden
    m_window->setWindowModality(on ? Qt::ApplicationModal : Qt::NonModal);
    m_cancel->setVisible(on);
    m_window->adjustSize();
    if (shown)
        m_window->show();
}

void ProgressWindow::build() {
    m_window = new QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                                        Qt::CustomizeWindowHint);
    m_window->setObjectName(QStringLiteral("Indicator"));
    m_window->setWindowTitle(programTitle());
    auto* layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(16, 14, 16, 16);
    layout->setSpacing(10);
    m_text = new QLabel(m_window);
    m_text->setObjectName(QStringLiteral("LBL"));
    m_text->setMinimumWidth(320);
    m_bar = new ProgressBar(m_window);
    m_bar->setObjectName(QStringLiteral("Pic"));
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    m_cancel = new QPushButton(QStringLiteral("取消"), m_window);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setShortcut(QKeySequence::Cancel);
    m_cancel->hide();
    QObject::connect(m_cancel, &QPushButton::clicked, m_cancel, [this] {
        m_cancelled = true;
        m_cancel->setEnabled(false);
    });
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    m_window->adjustSize();
    // Centred once, on first show; the operator may move it afterwards.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = m_window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        m_window->move(frame.topLeft());
    }
}

void ProgressWindow::show(const QString& caption, int total) {
    if (!m_window)
        build();
    m_caption = caption;
    m_total = total;
    m_position = 0;
    m_text->setText(caption);
    if (m_status) {
        // The status line gets its own text back when the work is done, so it
        // is not left blank after every report or chart.
        if (!m_window->isVisible())
            m_statusBefore = m_status->text();
        m_status->setText(caption);
    }
    m_bar->setRange(total);
    m_window->show();
    m_window->raise();
    processEvents();
}

void ProgressWindow::step(int position) {
    m_position = position;
    if (m_bar)
        m_bar->setPosition(position);
    processEvents();
}

void ProgressWindow::close() {
    const bool wasOpen = m_window && m_window->isVisible();
    if (m_window)
        m_window->hide();
    if (m_status) {
        if (wasOpen)
            m_status->setText(m_statusBefore);
        else
            m_status->clear();
    }
    processEvents();
}

} // namespace tl
