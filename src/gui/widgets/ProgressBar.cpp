#include "gui/widgets/ProgressBar.h"

#include <QPainter>
#include <algorithm>

namespace tl {

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ProgressBar::setRange(int total) {
    m_total = total;
    m_position = 0;
    update();
}

void ProgressBar::setPosition(int position) {
    m_position = position;
    update();
}

int ProgressBar::filledWidth() const {
    if (m_total <= 0 || m_position <= 0)
        return 0;
    const double share = std::min(1.0, double(m_position) / double(m_total));
    return int(share * width() + 0.5);
}

void ProgressBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect area = rect().adjusted(0, 0, -1, -1);
    p.fillRect(rect(), palette().color(QPalette::Base));
    p.fillRect(QRect(0, 0, filledWidth(), height()), QColor(0x1f, 0x5f, 0xd0));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(area);
}

} // namespace tl
