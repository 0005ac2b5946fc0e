#include "widgets/DateBox.h"

namespace tl {

DateBox::DateBox(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
}

bool DateBox::focusNextPrevChild(bool next) {
    return QWidget::focusNextPrevChild(next);
}

} // namespace tl
