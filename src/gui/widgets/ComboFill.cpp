#include "gui/widgets/ComboFill.h"

#include "core/masterdata/Lookups.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace tl {

void fillCombo(QComboBox* combo, const Database& db, const QString& table,
               const QString& nameColumn, const QString& keyColumn) {
    const QString current = combo->currentText();
    const QStringList items = comboItems(db, table, nameColumn, keyColumn);
    const bool blocked = combo->blockSignals(true);
    combo->clear();
    combo->addItems(items);
    combo->blockSignals(blocked);
    setComboText(combo, current);
}

void fitPopupToItems(QComboBox* combo) {
    QAbstractItemView* view = combo->view();
    // The delegate's own measure, its margins included; room for a scroll
    // bar, which a long list shows beside the names.
    const int items = view->sizeHintForColumn(0);
    const int bar = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    view->setMinimumWidth(std::max(0, items) + bar + 2 * view->frameWidth());
}

void setComboText(QComboBox* combo, const QString& text) {
    if (combo->isEditable()) {
        combo->setEditText(text);
        return;
    }
    if (text.isEmpty()) {
        combo->setCurrentIndex(-1);
        return;
    }
    int index = combo->findText(text, Qt::MatchExactly);
    if (index < 0) {
        combo->insertItem(0, text);
        index = 0;
    }
    combo->setCurrentIndex(index);
}

} // namespace tl
