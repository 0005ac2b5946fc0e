#include "gui/widgets/FormKeys.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>

namespace tl {

namespace {

class FormKeys : public QObject {
public:
    FormKeys(QDialog* dialog, QPushButton* save) : QObject(dialog), m_dialog(dialog), m_save(save) {
        dialog->installEventFilter(this);
        // A button keeps the focus ring but no longer stands in for Enter.
        for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
            b->setDefault(false);
            b->setAutoDefault(false);
        }
        auto* alt = new QShortcut(QKeySequence(QStringLiteral("Alt+S")), dialog);
        connect(alt, &QShortcut::activated, this, &FormKeys::pressSave);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Keys that no box used arrive here on their way to QDialog's own handler.
        if (watched != m_dialog || event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        if (key->modifiers() & Qt::ControlModifier) {
            pressSave();
            return true;
        }
        QWidget* focus = m_dialog->focusWidget();
        if (auto* button = qobject_cast<QPushButton*>(focus)) {
            if (button->isEnabled())
                button->click();
            return true;
        }
        // A list keeps Enter for itself (a grid row is picked by a double click).
        if (qobject_cast<QAbstractItemView*>(focus))
            return true;
        focusNext(focus);
        return true;
    }

private:
    // What Tab would focus next: the next box in the tab order that takes Tab.
    void focusNext(QWidget* from) {
        if (!from)
            return;
        for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
            if (w->window() == m_dialog && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
                w->isEnabled() && w->isVisibleTo(m_dialog) && !w->focusProxy()) {
                w->setFocus(Qt::TabFocusReason);
                return;
            }
        }
    }

    void pressSave() {
        if (m_save && m_save->isEnabled() && m_save->isVisible())
            m_save->click();
    }

    QDialog* m_dialog;
    QPushButton* m_save;
};

} // namespace

void useFormKeys(QDialog* dialog, QPushButton* save) {
    new FormKeys(dialog, save);
}

} // namespace tl
