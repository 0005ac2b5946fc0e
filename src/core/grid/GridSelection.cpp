#include "core/grid/GridSelection.h"

#include "core/grid/Grid.h"

#include <algorithm>

namespace tl {

std::optional<RowSpan> selectedDataRows(const Grid& grid) {
    int first = std::min(grid.row(), grid.rowSel());
    int last = std::max(grid.row(), grid.rowSel());
    first = std::max(first, grid.fixedRows());
    last = std::min(last, grid.rows() - 1);
    if (first > last)
        return std::nullopt;
    return RowSpan{first, last};
}

std::optional<qint64> rowKey(const Grid& grid, int row) {
    if (row < grid.fixedRows() || row >= grid.rows() || grid.cols() < 1)
        return std::nullopt;
    bool ok = false;
    const qint64 key = grid.text(row, 0).trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return key;
}

bool hasRecords(const Grid& grid) {
    for (int r = grid.fixedRows(); r < grid.rows(); ++r)
        if (rowKey(grid, r))
            return true;
    return false;
}

} // namespace tl
