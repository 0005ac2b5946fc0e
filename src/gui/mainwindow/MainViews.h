#pragma once

#include <QtGlobal>
#include <optional>

class QWidget;

namespace tl {

class Database;
class Grid;
struct Session;

// What the main window's tabs show and open, in one place: the record grids
// of the trade tabs, the master lists and their editors.

// Fills the grid with the sales, purchase or transfer records of a trade tab.
void loadTradeView(Grid& grid, const Database& db, int tab);
// Fills the grid with the list of a master tab.
void loadMasterView(Grid& grid, const Database& db, const Session& session, int subTab);
// A press in the caption rows: sorts by the column or fits the widths.
void headerPressed(Grid& grid, int xTwips, int yTwips);
// The editor of a master tab, empty or on a record; true when the list should
// be reloaded.
bool openMasterPageEditor(QWidget* owner, int subTab, Session& session, const Database& db,
                          std::optional<qint64> key);

} // namespace tl
