#include "mainwindow/MainViews.h"

#include "grid/GridHeader.h"
#include "grid/RecordGrid.h"
#include "mainwindow/MainCommands.h"
#include "masterdata/MasterEditors.h"
#include "masterdata/MasterList.h"

namespace tl {

void loadTradeView(Grid& grid, const Database& db, int tab) {
    switch (tab) {
    case SalesTab:
        loadSaleGrid(grid, db);
        break;
    case PurchasesTab:
        loadPurchaseGrid(grid, db);
        break;
    case TransfersTab:
        loadTransferGrid(grid, db);
        break;
    default:
        break;
    }
}

void loadMasterView(Grid& grid, const Database& db, const Session& session, int subTab) {
    // Products are a record grid, fitted to the texts like the trade tabs.
    if (subTab == ProductsPage)
        return loadProductGrid(grid, db);
    loadMasterList(grid, db, static_cast<MasterTable>(subTab), session);
}

void headerPressed(Grid& grid, int xTwips, int yTwips) {
    gridHeaderClick(grid, xTwips, yTwips);
}

bool openMasterPageEditor(QWidget* owner, int subTab, Session& session, const Database& db,
                          std::optional<qint64> key) {
    return openMasterEditor(owner, static_cast<MasterTable>(subTab), session, db, key);
}

} // namespace tl
