#include "gui/mainwindow/MainViews.h"

#include "core/accounts/Session.h"
#include "core/grid/GridHeader.h"
#include "gui/mainwindow/MainCommands.h"
#include "gui/masterdata/OpenMasterEditor.h"

namespace tl {

void loadTradeView(Grid& grid, const Database& db, int tab) {
    if (tab >= SalesTab && tab <= TransfersTab)
        loadListedTable(grid, db, Session{}, *listedTableOfTab(tab, 0));
}

void loadMasterView(Grid& grid, const Database& db, const Session& session, int subTab) {
    if (const auto table = listedTableOfTab(SettingsTab, subTab))
        loadListedTable(grid, db, session, *table);
}

void headerPressed(Grid& grid, int xTwips, int yTwips) {
    gridHeaderClick(grid, xTwips, yTwips);
}

bool openMasterPageEditor(QWidget* owner, int subTab, Session& session, const Database& db,
                          std::optional<qint64> key) {
    return openMasterEditor(owner, static_cast<MasterTable>(subTab), session, db, key);
}

} // namespace tl
