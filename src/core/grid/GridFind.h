#pragma once

#include <QString>

namespace tl {

class Grid;

// Finds the next row, after the current one and wrapping round to row 1, with
// a cell from column 2 on (from column 1 in a list with one caption row,
// which has no serial column) whose trimmed text holds the text (case matters;
// an empty text matches any non-empty cell). The current row is searched
// last. A found row becomes the current and top row, selected from column 1
// to the last. Otherwise shows "没有找到含有字符串“…”的记录！". A hidden grid,
// or one with fewer than 3 columns or 2 rows, finds nothing and says nothing.
bool findInGrid(Grid& grid, const QString& text);

} // namespace tl
