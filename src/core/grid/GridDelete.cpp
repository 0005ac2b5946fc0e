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
    const QString question =
        QStringLiteral("您确定要删除第%1-%2条记录？").arg(span->first - 1).arg(span->last - 1);
    if (!dialogs().question(question))
        return false;
    return deleteRecords(db, table, keyColumn, keys) > 0;
}

} // namespace tl
