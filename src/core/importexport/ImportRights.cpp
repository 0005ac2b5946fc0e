#include "importexport/ImportRights.h"

#include "grid/ListedTables.h"

namespace tl {

QStringList importRights(ImportTable table) {
    static const char* const rights[] = {"导入销售记录",   "导入采购记录", "导入调库记录",
                                         "导入产品设置",   "导入账号设置", "导入客户设置",
                                         "导入供应商设置", "导入人员列表", "导入产品类别",
                                         "导入仓库列表",   "导入地区列表"};
    const int index = static_cast<int>(table);
    QStringList needed{QString::fromUtf8(rights[index])};
    // The import buttons of the class, warehouse and region lists sit among
    // the list's own buttons, which go dark without the right to see the
    // list; the other import buttons follow their own right only.
    if (table == ImportTable::Classes || table == ImportTable::Warehouses ||
        table == ImportTable::Regions)
        needed.prepend(listedTableViewRight(static_cast<ListedTable>(index)));
    return needed;
}

} // namespace tl
