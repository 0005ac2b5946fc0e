#pragma once

#include <QString>

namespace tl {

class Database;
class Grid;
struct Session;

// The eleven tables the main window lists: the record grids of the three
// trade tabs and the lists of the eight master tabs, in tab order.
enum class ListedTable {
    Sales,
    Purchases,
    Transfers,
    Products,
    Accounts,
    Customers,
    Suppliers,
    Staff,
    Classes,
    Warehouses,
    Regions
};

// The caption of the table's tab, which also names an exported sheet:
// "销 售", "采 购", "调 库", "产品设置" ... "地区设置".
QString listedTableTitle(ListedTable table);

// The right that shows the table's records; empty for the operator list,
// which is always shown (an operator without "查看人员设置" sees his own row).
QString listedTableViewRight(ListedTable table);

// Fills the grid with the table's records as the main window shows them:
// the sales, purchase, transfer and product record grids, or a master list.
void loadListedTable(Grid& grid, const Database& db, const Session& session, ListedTable table);

} // namespace tl
