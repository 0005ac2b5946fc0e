#include "core/importexport/ExportRights.h"

#include "core/accounts/Rights.h"

namespace tl {

QString exportRight(ListedTable table) {
    return QStringLiteral("导出") + listedTableRightSubject(table);
}

bool mayExport(const QString& rights, ListedTable table) {
    return Rights::test(rights, exportRight(table));
}

} // namespace tl
