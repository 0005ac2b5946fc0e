#include "core/lists/ListedTables.h"

#include "core/lists/MasterList.h"
#include "core/lists/RecordGrid.h"
#include "core/masterdata/MasterTable.h"

#include <iterator>

namespace tl {
namespace {

struct TableNames {
    const char* name;    // on the command line
    const char* title;   // the tab's caption
    const char* subject; // what its import and export rights name
};

constexpr TableNames kNames[] = {
    {"sales", "销 售", "销售记录"},
    {"purchases", "采 购", "采购记录"},
    {"transfers", "调 库", "调库记录"},
    {"products", "产品设置", "产品设置"},
    {"accounts", "账号设置", "账号设置"},
    {"customers", "客户设置", "客户设置"},
    {"suppliers", "供应商设置", "供应商设置"},
    {"staff", "人员设置", "人员列表"},
    {"classes", "产品类别", "产品类别"},
    {"warehouses", "仓库设置", "仓库列表"},
    {"regions", "地区设置", "地区列表"},
};
static_assert(std::size(kNames) == listedTableCount, "one row per listed table");

} // namespace

// The master tabs follow the master tables' order, products first.
MasterTable masterTableOf(ListedTable table) {
    Q_ASSERT(table >= ListedTable::Products);
    return static_cast<MasterTable>(static_cast<int>(table) -
                                    static_cast<int>(ListedTable::Products));
}

const QList<ListedTable>& allListedTables() {
    static const QList<ListedTable> all = [] {
        QList<ListedTable> list;
        for (int t = 0; t < listedTableCount; ++t)
            list << static_cast<ListedTable>(t);
        return list;
    }();
    return all;
}

QString listedTableName(ListedTable table) {
    return QString::fromLatin1(kNames[static_cast<int>(table)].name);
}

QStringList listedTableNames() {
    QStringList names;
    for (const TableNames& t : kNames)
        names << QString::fromLatin1(t.name);
    return names;
}

std::optional<ListedTable> listedTableNamed(const QString& name) {
    for (int t = 0; t < listedTableCount; ++t)
        if (name.compare(QLatin1String(kNames[t].name), Qt::CaseInsensitive) == 0)
            return static_cast<ListedTable>(t);
    return std::nullopt;
}

QString listedTableTitle(ListedTable table) {
    return QString::fromUtf8(kNames[static_cast<int>(table)].title);
}

QString listedTableRightSubject(ListedTable table) {
    return QString::fromUtf8(kNames[static_cast<int>(table)].subject);
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
        return masterTableDef(masterTableOf(table)).viewRight;
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
        return loadMasterList(grid, db, masterTableOf(table), session);
    }
}

} // namespace tl
