#include "transactions/PickList.h"

#include "data/Helpers.h"
#include "widgets/ComboFill.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

namespace tl {

PickList::PickList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(14);
    setMaxVisibleItems(20);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

int PickList::id() const {
    return currentIndex() < 0 ? 0 : itemId(currentText());
}

void PickList::choose(int key, const QString& text) {
    setComboText(this, key == 0 ? QString() : text);
}

void PickList::keyPressEvent(QKeyEvent* event) {
    // Typing would jump to an item by its first letters; only picking is allowed.
    // Navigation keys still open and move through the list.
    if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void PickList::inputMethodEvent(QInputMethodEvent* event) {
    event->accept();
}

} // namespace tl
