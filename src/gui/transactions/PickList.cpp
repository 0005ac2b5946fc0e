#include "transactions/PickList.h"

#include "data/Helpers.h"

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

QString PickList::itemTextChosen() const {
    return currentIndex() < 0 ? QString() : currentText();
}

void PickList::setItems(const QStringList& items) {
    const int key = id();
    const QString text = itemTextChosen();
    const QSignalBlocker block(this);
    clear();
    addItems(items);
    setCurrentIndex(-1);
    if (!text.isEmpty()) {
        // Prefer the same record, whose name may just have been edited.
        for (int i = 0; i < count(); ++i) {
            if (itemId(itemText(i)) == key) {
                setCurrentIndex(i);
                return;
            }
        }
    }
}

void PickList::choose(int key, const QString& text) {
    for (int i = 0; i < count(); ++i) {
        if (itemId(QComboBox::itemText(i)) == key) {
            setCurrentIndex(i);
            return;
        }
    }
    if (key == 0) {
        setCurrentIndex(-1);
        return;
    }
    addItem(text);
    setCurrentIndex(count() - 1);
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
