#pragma once

#include <QtGlobal>
#include <optional>

namespace tl {

class Grid;

// Which records a command on the grid works on. Column 0 of every list holds
// the record key; rows above fixedRows are captions (record grids have two
// fixed rows, master lists one).

struct RowSpan {
    int first;
    int last;
};

// The selected rows from the current row to the other end of the selection,
// in ascending order and limited to data rows; none when no data row is
// selected.
std::optional<RowSpan> selectedDataRows(const Grid& grid);

// The record key in column 0 of a data row; none for a caption row, a row
// outside the grid, or a cell that holds no whole number (the spare empty row
// of an empty master list).
std::optional<qint64> rowKey(const Grid& grid, int row);

// True when at least one data row carries a record key.
bool hasRecords(const Grid& grid);

} // namespace tl
