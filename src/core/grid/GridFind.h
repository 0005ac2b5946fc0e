#pragma once

#include "core/support/Outcome.h"

#include <QString>

namespace tl {

class Grid;

// Finds the next row, after the current one and wrapping round to row 1, with
// a cell from column 2 on (from column 1 in a list with one caption row,
// which has no serial column) whose trimmed text holds the text (case matters;
// an empty text matches any non-empty cell). The current row is searched
// last. A found row becomes the current and top row, selected from column 1
// to the last, and the outcome is ok. Otherwise it is refused with
// "没有找到含有字符串“…”的记录！" for the caller to show. A hidden grid, or one
// with fewer than 3 columns or 2 rows, is not searched: refused without a
// message, so nothing is shown.
Outcome findInGrid(Grid& grid, const QString& text);

} // namespace tl
