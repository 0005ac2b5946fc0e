#include "core/grid/GridFormat.h"

#include "core/grid/Grid.h"

#include <algorithm>

namespace tl {

QColor fixedCellColor() {
    return QColor(0xec, 0xee, 0xf1);
}

QColor colorFromBgr(quint32 bgr) {
    return QColor(static_cast<int>(bgr & 0xff), static_cast<int>((bgr >> 8) & 0xff),
                  static_cast<int>((bgr >> 16) & 0xff));
}

void setCellBackColor(Grid& grid, int row, int col, const QColor& color) {
    grid.setBackColor(row, col, color);
}

void setCellTextColor(Grid& grid, int row, int col, const QColor& color) {
    grid.setTextColor(row, col, color);
}

void setRangeBackColor(Grid& grid, int firstRow, int firstCol, int lastRow, int lastCol,
                       const QColor& color) {
    grid.beginUpdate();
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstCol; c <= lastCol; ++c)
            grid.setBackColor(r, c, color);
    }
    grid.endUpdate();
}

void setRangeTextColor(Grid& grid, int firstRow, int firstCol, int lastRow, int lastCol,
                       const QColor& color) {
    grid.beginUpdate();
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstCol; c <= lastCol; ++c)
            grid.setTextColor(r, c, color);
    }
    grid.endUpdate();
}

void setRowBackColor(Grid& grid, int row, int firstCol, int lastCol, const QColor& color) {
    const int last = grid.cols() - 1;
    if (last < 0)
        return;
    setRangeBackColor(grid, row, std::clamp(firstCol, 0, last), row, std::clamp(lastCol, 0, last),
                      color);
}

void setColumnBackColor(Grid& grid, int col, const QColor& color) {
    setRangeBackColor(grid, 0, col, grid.rows() - 1, col, color);
}

void setColumnTextColor(Grid& grid, int col, const QColor& color) {
    setRangeTextColor(grid, 1, col, grid.rows() - 1, col, color);
}

void setCellBold(Grid& grid, int row, int col) {
    grid.setBold(row, col, true);
}

void setRowBold(Grid& grid, int row) {
    grid.beginUpdate();
    for (int c = 0; c < grid.cols(); ++c)
        grid.setBold(row, c, true);
    grid.endUpdate();
}

} // namespace tl
