#pragma once

#include "core/lists/ListedTables.h"

#include <QString>

namespace tl {

// The right that exporting a table's records needs: "导出销售记录",
// "导出产品设置", ..., "导出人员列表". The window's pop-up menu and the
// command-line tool ask the same question through mayExport.
QString exportRight(ListedTable table);
bool mayExport(const QString& rights, ListedTable table);

} // namespace tl
