#include "mainwindow/MainViews.h"

#include "grid/GridFit.h"
#include "grid/GridHeader.h"
#include "grid/RecordGrid.h"
#include "mainwindow/MainCommands.h"
#include "masterdata/MasterEditors.h"
#include "masterdata/MasterList.h"

#include <QApplication>
#include <QStyle>

namespace tl {

namespace {

// The view draws a cell's text inside margins and a grid line that the
// loader's own allowance does not cover; without them dates and amounts
// would show cut off.
TextMeasure viewMeasure() {
    const int frame = QApplication::style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
    const int extraTwips = (2 * frame + 4) * 15;
    return [base = defaultTextMeasure(), extraTwips](const QString& text) {
        return base(text) + extraTwips;
    };
}

} // namespace

void loadTradeView(Grid& grid, const Database& db, int tab) {
    switch (tab) {
    case SalesTab:
        loadSaleGrid(grid, db, viewMeasure());
        break;
    case PurchasesTab:
        loadPurchaseGrid(grid, db, viewMeasure());
        break;
    case TransfersTab:
        loadTransferGrid(grid, db, viewMeasure());
        break;
    default:
        break;
    }
}

void loadMasterView(Grid& grid, const Database& db, const Session& session, int subTab) {
    // Products are a record grid, fitted to the texts like the trade tabs.
    if (subTab == ProductsPage)
        return loadProductGrid(grid, db, viewMeasure());
    loadMasterList(grid, db, static_cast<MasterTable>(subTab), session);
}

void headerPressed(Grid& grid, int xTwips, int yTwips) {
    gridHeaderClick(grid, xTwips, yTwips, viewMeasure());
}

bool openMasterPageEditor(QWidget* owner, int subTab, Session& session, const Database& db,
                          std::optional<qint64> key) {
    return openMasterEditor(owner, static_cast<MasterTable>(subTab), session, db, key);
}

} // namespace tl
