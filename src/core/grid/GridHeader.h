#pragma once

#include "core/grid/GridFit.h"

namespace tl {

class Grid;

// True for a record grid (column-spec and caption rows above the data):
// its column 1 counts the rows. A master list has one caption row and its
// names in column 1.
bool hasSerialColumn(const Grid& grid);

// A left press at (x, y) in grid twips, measured from the grid's top-left
// corner including the fixed part. In the fixed rows: over the fixed columns
// it fits the column widths, over a scrollable column (counted from the left
// column on screen) it sorts by that column. Below the fixed rows nothing.
void gridHeaderClick(Grid& grid, int xTwips, int yTwips, const TextMeasure& measure = {});

// Sorts the data rows by one column, ascending unless the column's caption
// (in the last fixed row) ends in "△", in which case descending. The sorted
// column's caption gets "△" or "▽" at its end, every other scrollable
// column's caption loses its marker, and in a record grid (two fixed rows)
// the serial column 1 is renumbered 1, 2, 3, ... from the top.
void sortByColumn(Grid& grid, int col);

} // namespace tl
