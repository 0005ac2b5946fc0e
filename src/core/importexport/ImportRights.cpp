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
    // The trade tabs' import buttons follow their own right only.
    if (table != ImportTable::Sales && table != ImportTable::Purchases &&
        table != ImportTable::Transfers) {
        const QString view = listedTableViewRight(static_cast<ListedTable>(index));
        if (!view.isEmpty())
            needed.prepend(view);
    }
    return needed;
}

} // namespace tl
