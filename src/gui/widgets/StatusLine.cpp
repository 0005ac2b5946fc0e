#include "gui/widgets/StatusLine.h"

#include <QStatusBar>
#include <QWidget>

namespace tl {

namespace {
constexpr int kShownMs = 15000;

StatusLine* mainStatusLine(QWidget* inside) {
    if (!inside)
        return nullptr;
    auto* bar = inside->window()->findChild<QStatusBar*>();
    return bar ? bar->findChild<StatusLine*>(QStringLiteral("LBL")) : nullptr;
}
} // namespace

StatusLine::StatusLine(const QString& idleText, QWidget* parent)
    : QLabel(idleText, parent), m_idle(idleText) {
    setObjectName(QStringLiteral("LBL"));
    m_expiry.setSingleShot(true);
    m_expiry.setInterval(kShownMs);
    connect(&m_expiry, &QTimer::timeout, this, &StatusLine::expire);
}

void StatusLine::tell(const QString& text) {
    setText(text);
    m_shown = text;
    m_expiry.start();
}

void StatusLine::expire() {
    if (!m_shown.isEmpty() && text() == m_shown)
        setText(m_idle);
    m_shown.clear();
}

void showStatusText(QWidget* inside, const QString& text) {
    if (StatusLine* line = mainStatusLine(inside))
        line->tell(text);
}

void clearStatusText(QWidget* inside) {
    if (StatusLine* line = mainStatusLine(inside))
        line->expire();
}

QLabel* statusLineOf(QWidget* window) {
    if (!window)
        return nullptr;
    if (StatusLine* line = mainStatusLine(window))
        return line;
    return window->findChild<QLabel*>(QStringLiteral("status"), Qt::FindDirectChildrenOnly);
}

} // namespace tl
