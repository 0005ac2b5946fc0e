#pragma once

#include "core/importexport/ImportTables.h"

#include <QStringList>

namespace tl {

// The rights an import into a table needs, as the main window's import
// buttons ask for them: the table's import right ("导入销售记录", "导入产品设置",
// ..., "导入人员列表"); for classes, warehouses and regions also the right to
// see the list ("查看产品类别", "查看仓库列表", "查看地区列表").
QStringList importRights(ListedTable table);

} // namespace tl
