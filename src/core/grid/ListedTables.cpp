#include "grid/ListedTables.h"

#include "grid/RecordGrid.h"
#include "masterdata/MasterList.h"
#include "masterdata/MasterTable.h"

namespace tl {
namespace {

// The master tabs follow the master tables' order, products first.
MasterTable masterOf(ListedTable table) {
    return static_cast<MasterTable>(static_cast<int>(table) -
                                    static_cast<int>(ListedTable::Products));
}

} // namespace

QString listedTableTitle(ListedTable table) {
    static const char* const titles[] = {"销 售",    "采 购",    "调 库",      "产品设置",
                                         "账号设置", "客户设置", "供应商设置", "人员设置",
                                         "产品类别", "仓库设置", "地区设置"};
    return QString::fromUtf8(titles[static_cast<int>(table)]);
}

QString listedTableViewRight(ListedTable table) {
    switch (table) {
    case ListedTable::Sales:
        return QStringLiteral("操作销售记录");
    case ListedTable::Purchases:
        return QStringLiteral("操作采购记录");
    case ListedTable::Transfers:
        return QStringLiteral("操作调库记录");
    case ListedTable::Staff:
        return {};
    default:
        return masterTableDef(masterOf(table)).viewRight;
    }
}

void loadListedTable(Grid& grid, const Database& db, const Session& session, ListedTable table) {
    switch (table) {
    case ListedTable::Sales:
        return loadSaleGrid(grid, db);
    case ListedTable::Purchases:
        return loadPurchaseGrid(grid, db);
    case ListedTable::Transfers:
        return loadTransferGrid(grid, db);
    case ListedTable::Products:
        // Products are a record grid, fitted to the texts like the trade tabs.
        return loadProductGrid(grid, db);
    default:
        return loadMasterList(grid, db, masterOf(table), session);
    }
}

} // namespace tl
