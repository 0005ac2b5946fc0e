#include "widgets/ComboFill.h"

#include "data/Lookups.h"

#include <QComboBox>

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
