#pragma once

#include <QColor>

namespace tl {

class Grid;

// A colour written the old way, &HBBGGRR: blue in the high byte, red low.
QColor colorFromBgr(quint32 bgr);

// The background of fixed cells that set none of their own, on screen and on paper.
QColor fixedCellColor();

// Cell formatting used by the reports. Cells outside the grid are ignored;
// an empty range (last before first) formats nothing.
void setCellBackColor(Grid& grid, int row, int col, const QColor& color);
void setCellTextColor(Grid& grid, int row, int col, const QColor& color);
void setRangeBackColor(Grid& grid, int firstRow, int firstCol, int lastRow, int lastCol,
                       const QColor& color);
void setRangeTextColor(Grid& grid, int firstRow, int firstCol, int lastRow, int lastCol,
                       const QColor& color);
// One row from firstCol to lastCol, both clamped to the grid's columns.
void setRowBackColor(Grid& grid, int row, int firstCol, int lastCol, const QColor& color);
// Every row, the fixed ones included.
void setColumnBackColor(Grid& grid, int col, const QColor& color);
// Rows 1 to the last.
void setColumnTextColor(Grid& grid, int col, const QColor& color);
void setCellBold(Grid& grid, int row, int col);
void setRowBold(Grid& grid, int row);

} // namespace tl
