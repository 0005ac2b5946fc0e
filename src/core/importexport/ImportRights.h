#pragma once

#include "importexport/ImportTables.h"

#include <QStringList>

namespace tl {

// The rights an import into a table needs, as the main window's import
// buttons ask for them: the table's import right ("导入销售记录", "导入产品设置",
// ..., "导入人员列表"), and for a master table also the right to see its
// list ("查看产品设置", ...; none for the operator list).
QStringList importRights(ImportTable table);

} // namespace tl
