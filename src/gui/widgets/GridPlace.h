#pragma once

#include <QtGlobal>
#include <optional>

namespace tl {

class Grid;
class GridView;

// Where the operator stood in a grid: the record of the current row, that
// row, and the first rows and columns on screen. A reload after an editor
// closed puts him back there instead of on row 1.
struct GridPlace {
    std::optional<qint64> key; // record key of the current row (column 0)
    int row = -1;
    int topRow = -1;
    int leftCol = -1;

    static GridPlace of(const Grid& grid);
    // Selects the row of the same record (else the same row number, or the
    // last one), scrolls back to where the view stood and keeps that row on
    // screen. A grid without data rows is left alone.
    void restore(Grid& grid, GridView& view) const;
};

// The largest record key of the grid's rows (the newest record); 0 for none.
qint64 largestKey(const Grid& grid);

// Selects the row whose key column holds the key and scrolls it into view;
// false when no row holds it.
bool showRecord(Grid& grid, GridView& view, qint64 key);

} // namespace tl
