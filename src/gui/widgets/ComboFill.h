#pragma once

#include <QString>

class QComboBox;

namespace tl {

class Database;

// Refills a drop-down list with the "key‖name" items of a table, ordered by
// the name column, and keeps the text it showed before.
void fillCombo(QComboBox* combo, const Database& db, const QString& table,
               const QString& nameColumn, const QString& keyColumn);

// Makes the open list at least as wide as its widest item, so that whole
// names show however narrow the closed box is kept.
void fitPopupToItems(QComboBox* combo);

// Shows a text in a drop-down list. A list that takes no typing selects the
// item with that text; a text that is not among the items (a record pointing
// at a row that is gone) is put first in the list so that it still shows and
// is kept on saving. Empty text selects nothing.
void setComboText(QComboBox* combo, const QString& text);

} // namespace tl
