#include "importexport/ExportRights.h"

#include "data/Rights.h"

namespace tl {

namespace {

struct TableRight {
    ExportTable table;
    const char* name;
    const char* right;
};

constexpr TableRight kTables[] = {
    {ExportTable::Sales, "sales", "导出销售记录"},
    {ExportTable::Purchases, "purchases", "导出采购记录"},
    {ExportTable::Transfers, "transfers", "导出调库记录"},
    {ExportTable::Products, "products", "导出产品设置"},
    {ExportTable::Accounts, "accounts", "导出账号设置"},
    {ExportTable::Customers, "customers", "导出客户设置"},
    {ExportTable::Suppliers, "suppliers", "导出供应商设置"},
    {ExportTable::Staff, "staff", "导出人员列表"},
    {ExportTable::Classes, "classes", "导出产品类别"},
    {ExportTable::Warehouses, "warehouses", "导出仓库列表"},
    {ExportTable::Regions, "regions", "导出地区列表"},
};

const TableRight& entry(ExportTable table) {
    for (const TableRight& t : kTables)
        if (t.table == table)
            return t;
    return kTables[0]; // unreachable: every enumerator has a row
}

} // namespace

QString exportRight(ExportTable table) {
    return QString::fromUtf8(entry(table).right);
}

bool mayExport(const QString& rights, ExportTable table) {
    return Rights::test(rights, exportRight(table));
}

std::optional<ExportTable> exportTableNamed(const QString& name) {
    for (const TableRight& t : kTables)
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return t.table;
    return std::nullopt;
}

QString exportTableName(ExportTable table) {
    return QString::fromLatin1(entry(table).name);
}

} // namespace tl
