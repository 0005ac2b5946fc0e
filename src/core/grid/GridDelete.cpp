#include "grid/GridDelete.h"

#include "data/Dialogs.h"
#include "grid/Grid.h"
#include "grid/GridSelection.h"
#include "transactions/RecordDeletion.h"

namespace tl {

bool deleteRows(const Grid& grid, const Database& db, const QString& table,
                const QString& keyColumn) {
    const std::optional<RowSpan> span = selectedDataRows(grid);
    if (!span)
        return false;
    // The last row first, as the rows are listed on screen from the bottom.
    QList<qint64> keys;
    for (int r = span->last; r >= span->first; --r)
        if (const auto key = rowKey(grid, r))
            keys << *key;
    if (keys.isEmpty())
        return false;
    // Numbered from the first data row, so a master list (one caption row) asks
    // about its records 1-2 and not 0-1.
    const int base = grid.fixedRows() - 1;
    const QString question = QStringLiteral("您确定要删除第%1-%2条记录？")
                                 .arg(span->first - base)
                                 .arg(span->last - base);
    if (!dialogs().question(question))
        return false;
    return deleteRecords(db, table, keyColumn, keys) > 0;
}

} // namespace tl
