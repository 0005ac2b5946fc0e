#include "core/importexport/ImportRights.h"

namespace tl {

QStringList importRights(ListedTable table) {
    QStringList needed{QStringLiteral("导入") + listedTableRightSubject(table)};
    // The import buttons of the class, warehouse and region lists sit among
    // the list's own buttons, which go dark without the right to see the
    // list; the other import buttons follow their own right only.
    if (table == ListedTable::Classes || table == ListedTable::Warehouses ||
        table == ListedTable::Regions)
        needed.prepend(listedTableViewRight(table));
    return needed;
}

} // namespace tl
