#include "gui/widgets/DateBox.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace tl {

namespace {
constexpr int kDigitsOfDate = 8; // yyyyMMdd
}

DateBox::DateBox(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
}

bool DateBox::focusNextPrevChild(bool next) {
    return QWidget::focusNextPrevChild(next);
}

void DateBox::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool digit = text.size() == 1 && text[0].isDigit() &&
                       !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!digit) {
        m_typed = 0;
        QDateEdit::keyPressEvent(event);
        return;
    }
    // The first digit with a bare cursor starts at the year; the box itself
    // then moves on to the month and the day as each is complete. A selected
    // section takes the digits as it always did.
    if (m_typed == 0 && lineEdit()->selectedText().isEmpty())
        setSelectedSection(YearSection);
    m_typed = (m_typed + 1) % kDigitsOfDate;
    QDateEdit::keyPressEvent(event);
}

void DateBox::focusInEvent(QFocusEvent* event) {
    m_typed = 0;
    QDateEdit::focusInEvent(event);
}

void DateBox::mousePressEvent(QMouseEvent* event) {
    m_typed = 0;
    QDateEdit::mousePressEvent(event);
}

} // namespace tl
