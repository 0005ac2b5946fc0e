#include "core/grid/GridDelete.h"

#include "core/grid/Grid.h"
#include "core/grid/GridSelection.h"

namespace tl {

std::optional<RowDeletion> selectedRecords(const Grid& grid) {
    const std::optional<RowSpan> span = selectedDataRows(grid);
    if (!span)
        return std::nullopt;
    // The last row first, as the rows are listed on screen from the bottom.
    RowDeletion deletion;
    for (int r = span->last; r >= span->first; --r)
        if (const auto key = rowKey(grid, r))
            deletion.keys << *key;
    if (deletion.keys.isEmpty())
        return std::nullopt;
    // Numbered from the first data row, so a master list (one caption row) asks
    // about its records 1-2 and not 0-1.
    const int base = grid.fixedRows() - 1;
    deletion.question = QStringLiteral("您确定要删除第%1-%2条记录？")
                            .arg(span->first - base)
                            .arg(span->last - base);
    return deletion;
}

} // namespace tl
