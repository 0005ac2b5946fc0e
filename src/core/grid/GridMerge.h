#pragma once

#include <QList>
#include <QRect>

namespace tl {

class Grid;

// The merged areas of a grid with merging on: neighbouring cells with the same
// non-empty text in a merge-flagged row join across, then those in a
// merge-flagged column join down. An area never crosses from the fixed part
// into the scrollable part. QRect(x = column, y = row, width = columns,
// height = rows); single cells are not listed.
QList<QRect> mergedAreas(const Grid& grid);

} // namespace tl
