#pragma once

#include <QList>
#include <QRect>

namespace tl {

class Grid;

// The merged areas of a grid: its spans (Grid::addSpan), then, with merging
// on, runs of neighbouring cells outside the spans that hold the same
// non-empty text: across in a merge-flagged row, then down in a merge-flagged
// column. A run never crosses from the fixed part into the scrollable part
// (a span is kept within one part by whoever adds it). QRect(x = column,
// y = row, width = columns, height = rows); single cells are not listed.
QList<QRect> mergedAreas(const Grid& grid);

} // namespace tl
