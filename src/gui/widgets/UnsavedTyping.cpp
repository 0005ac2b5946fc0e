#include "gui/widgets/UnsavedTyping.h"

#include "gui/widgets/Dialogs.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>

namespace tl {

namespace {
// A box that belongs to a compound control (the text of a date box or of an
// editable list) or to a grid: the control itself is what counts.
bool partOfAnother(const QWidget* w, const QWidget* form) {
    for (const QWidget* p = w->parentWidget(); p && p != form; p = p->parentWidget()) {
        if (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p) ||
            qobject_cast<const QAbstractItemView*>(p))
            return true;
    }
    return false;
}
} // namespace

QString formContents(const QWidget* form) {
    QStringList parts;
    for (const QWidget* w : form->findChildren<QWidget*>()) {
        if (partOfAnother(w, form) || w->window() != form)
            continue;
        if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
            if (!edit->isReadOnly())
                parts << edit->text();
        } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
            parts << combo->currentText();
        } else if (const auto* date = qobject_cast<const QDateTimeEdit*>(w)) {
            parts << date->dateTime().toString(Qt::ISODate);
        }
    }
    return parts.join(QChar(0x1f)); // a separator no one types
}

bool mayDiscardTyping(const QWidget* form, const QString& saved) {
    return formContents(form) == saved ||
           dialogs().question(QStringLiteral("放弃尚未保存的内容吗？"));
}

} // namespace tl
