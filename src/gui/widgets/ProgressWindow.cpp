#include "widgets/ProgressWindow.h"

#include "widgets/Dialogs.h"
#include "widgets/ProgressBar.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace tl {

ProgressWindow::ProgressWindow() = default;

ProgressWindow::~ProgressWindow() {
    delete m_window;
}

void ProgressWindow::processEvents() {
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
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
