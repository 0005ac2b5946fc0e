#pragma once

#include <QString>
#include <optional>

namespace tl {

// The tables whose lists the main window shows and an operator may export.
enum class ExportTable {
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

// The right that exporting a table's records needs: "导出销售记录",
// "导出产品设置", ..., "导出人员列表". The window's pop-up menu and the
// command-line tool ask the same question through mayExport.
QString exportRight(ExportTable table);
bool mayExport(const QString& rights, ExportTable table);

// The table for its command-line name ("sales", "purchases", "transfers",
// "products", "accounts", "customers", "suppliers", "staff", "classes",
// "warehouses", "regions"; case ignored); nothing for any other name.
std::optional<ExportTable> exportTableNamed(const QString& name);
QString exportTableName(ExportTable table);

} // namespace tl
