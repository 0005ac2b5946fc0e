#include "gui/transactions/PickList.h"

#include "core/values/ItemText.h"
#include "gui/widgets/ComboFill.h"

#include <QAbstractItemView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWheelEvent>

namespace tl {

namespace {
constexpr int kTypeAheadMs = 1200; // a pause this long starts a new search
const QChar kSeparator(0x2016);
} // namespace

PickList::PickList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(14);
    setMaxVisibleItems(20);
    // Chinese names arrive through the input method as committed text.
    setAttribute(Qt::WA_InputMethodEnabled, true);
    view()->setAttribute(Qt::WA_InputMethodEnabled, true);
    view()->installEventFilter(this);
}

int PickList::id() const {
    return currentIndex() < 0 ? 0 : itemId(currentText());
}

void PickList::choose(int key, const QString& text) {
    setComboText(this, key == 0 ? QString() : text);
}

int PickList::findTyped(const QString& typed) const {
    if (typed.isEmpty())
        return -1;
    int contains = -1;
    int key = -1;
    for (int i = 0; i < count(); ++i) {
        const QString item = itemText(i);
        const int sep = item.indexOf(kSeparator);
        const QString name = sep < 0 ? item : item.mid(sep + 1);
        if (name.startsWith(typed, Qt::CaseInsensitive))
            return i;
        if (contains < 0 && name.contains(typed, Qt::CaseInsensitive))
            contains = i;
        if (key < 0 && sep > 0 && item.left(sep).startsWith(typed))
            key = i;
    }
    return contains >= 0 ? contains : key;
}

void PickList::typeAhead(const QString& text) {
    if (!m_lastKey.isValid() || m_lastKey.elapsed() > kTypeAheadMs)
        m_typed.clear();
    m_lastKey.start();
    m_typed += text;
    int row = findTyped(m_typed);
    if (row < 0 && m_typed.size() > text.size()) {
        // No item goes on with the earlier letters: start again from this one.
        m_typed = text;
        row = findTyped(m_typed);
    }
    if (!view()->isVisible())
        showPopup();
    if (row >= 0)
        view()->setCurrentIndex(model()->index(row, modelColumn(), rootModelIndex()));
}

void PickList::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        typeAhead(text);
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        // A closed list changes only by an explicit pick.
        showPopup();
        event->accept();
        return;
    default:
        QComboBox::keyPressEvent(event);
    }
}

void PickList::wheelEvent(QWheelEvent* event) {
    // Scrolling the form over a list must not change the choice.
    event->ignore();
}

void PickList::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty())
        typeAhead(event->commitString());
    event->accept();
}

bool PickList::eventFilter(QObject* watched, QEvent* event) {
    // Typing in the open list: the same search, on the names rather than on
    // the key digits each item starts with.
    if (watched == view()) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const QString text = key->text();
            if (!text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace() &&
                !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                typeAhead(text);
                return true;
            }
        } else if (event->type() == QEvent::InputMethod) {
            const QString text = static_cast<QInputMethodEvent*>(event)->commitString();
            if (!text.isEmpty())
                typeAhead(text);
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

} // namespace tl
