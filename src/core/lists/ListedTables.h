#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tl {

class Database;
class Grid;
struct Session;
enum class MasterTable;

// The eleven tables the main window lists: the record grids of the three
// trade tabs and the lists of the eight master tabs, in tab order. The same
// tables are the ones records are imported into and exported from.
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

inline constexpr int listedTableCount = static_cast<int>(ListedTable::Regions) + 1;

// Every table, in tab order.
const QList<ListedTable>& allListedTables();

// The table's English name on the command line: "sales", "purchases",
// "transfers", "products", "accounts", "customers", "suppliers", "staff",
// "classes", "warehouses", "regions".
QString listedTableName(ListedTable table);
// Those names in tab order, for the command-line tool's help and messages.
QStringList listedTableNames();
// The table of an English name, case ignored; nothing for any other name
// (the name is taken as it stands, spaces and all).
std::optional<ListedTable> listedTableNamed(const QString& name);

// The caption of the table's tab, which also names an exported sheet:
// "销 售", "采 购", "调 库", "产品设置" ... "地区设置".
QString listedTableTitle(ListedTable table);

// What the table's import and export rights name after "导入" / "导出":
// "销售记录", "采购记录", "调库记录", "产品设置", ..., "人员列表", "产品类别",
// "仓库列表", "地区列表".
QString listedTableRightSubject(ListedTable table);

// The master table a master tab lists (Products and the tabs after it).
MasterTable masterTableOf(ListedTable table);
// The right that shows the table's records; empty for the operator list,
// which is always shown (an operator without "查看人员设置" sees his own row).
QString listedTableViewRight(ListedTable table);

// Fills the grid with the table's records as the main window shows them:
// the sales, purchase, transfer and product record grids, or a master list.
void loadListedTable(Grid& grid, const Database& db, const Session& session, ListedTable table);

} // namespace tl
