#pragma once

#include <QString>
#include <functional>

namespace tl {

class Grid;

// The width of a text in twips.
using TextMeasure = std::function<int(const QString&)>;

// The width a text takes in a cell of the grid view, in the application's
// font (the windows' font): the sum of the characters' advances, each
// measured once, and the cell's own margins. Without a GUI application
// (command-line tools, core tests) it estimates 7 pixels for a narrow
// character and 13 for a wide one.
TextMeasure defaultTextMeasure();

// Column widths from the texts of the caption row (the last fixed row) and
// every data row: the widest text plus 100 twips, 50 for a column that is
// empty throughout, at most half the grid's width; when the columns together
// are narrower than the grid less 400 twips, the last column takes up the
// rest. A grid without data rows keeps its widths. An empty measure means
// defaultTextMeasure().
void autoFitColumns(Grid& grid, const TextMeasure& measure = {});

} // namespace tl
