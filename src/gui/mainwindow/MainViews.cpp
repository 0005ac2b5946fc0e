#include "mainwindow/MainViews.h"

#include "data/Session.h"
#include "grid/GridHeader.h"
#include "grid/ListedTables.h"
#include "mainwindow/MainCommands.h"
#include "masterdata/MasterEditors.h"

namespace tl {

void loadTradeView(Grid& grid, const Database& db, int tab) {
    if (tab >= SalesTab && tab <= TransfersTab)
        loadListedTable(grid, db, Session{}, static_cast<ListedTable>(tab));
}

void loadMasterView(Grid& grid, const Database& db, const Session& session, int subTab) {
    if (subTab >= ProductsPage && subTab <= RegionsPage)
        loadListedTable(grid, db, session,
                        static_cast<ListedTable>(static_cast<int>(ListedTable::Products) + subTab));
}

void headerPressed(Grid& grid, int xTwips, int yTwips) {
    gridHeaderClick(grid, xTwips, yTwips);
}

bool openMasterPageEditor(QWidget* owner, int subTab, Session& session, const Database& db,
                          std::optional<qint64> key) {
    return openMasterEditor(owner, static_cast<MasterTable>(subTab), session, db, key);
}

} // namespace tl
