#include "core/statistics/StatisticsPages.h"

namespace tl {

QString statisticsPageTitle(StatisticsPage page) {
    static const char* const titles[] = {"盘点", "销售盘点", "采购盘点", "应收款盘点",
                                         "应付款盘点"};
    return QString::fromUtf8(titles[static_cast<int>(page)]);
}

} // namespace tl
