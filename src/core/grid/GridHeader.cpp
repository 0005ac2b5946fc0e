#include "core/grid/GridHeader.h"

#include "core/grid/Grid.h"

namespace tl {

bool hasSerialColumn(const Grid& grid) {
    return grid.fixedRows() >= 2 && grid.cols() > 1;
}

namespace {
const QChar kUp(0x25B3);   // △
const QChar kDown(0x25BD); // ▽
} // namespace

void gridHeaderClick(Grid& grid, int x, int y, const TextMeasure& measure) {
    int fixedHeight = 0;
    for (int r = 0; r < grid.fixedRows(); ++r)
        fixedHeight += grid.rowHeight(r);
    if (y >= fixedHeight)
        return;
    int edge = 0;
    for (int c = 0; c < grid.fixedCols(); ++c)
        edge += grid.colWidth(c);
    if (x <= edge) {
        autoFitColumns(grid, measure);
        return;
    }
    for (int c = std::max(grid.leftCol(), grid.fixedCols()); c < grid.cols(); ++c) {
        edge += grid.colWidth(c);
        if (edge > x) {
            sortByColumn(grid, c);
            return;
        }
    }
}

void sortByColumn(Grid& grid, int col) {
    if (col < 0 || col >= grid.cols() || grid.fixedRows() == 0)
        return;
    const int captionRow = grid.fixedRows() - 1;
    grid.beginUpdate();
    for (int c = grid.fixedCols(); c < grid.cols(); ++c) {
        if (c == col)
            continue;
        QString caption = grid.text(captionRow, c);
        if (caption.contains(kUp) || caption.contains(kDown))
            grid.setText(captionRow, c, caption.remove(kUp).remove(kDown));
    }
    QString caption = grid.text(captionRow, col);
    const bool descending = caption.endsWith(kUp);
    caption.remove(kUp).remove(kDown);
    grid.setText(captionRow, col, caption + (descending ? kDown : kUp));
    grid.sortRows(col, !descending);
    if (hasSerialColumn(grid)) {
        for (int r = grid.fixedRows(); r < grid.rows(); ++r)
            grid.cellRef(r, 1) = QString::number(r - grid.fixedRows() + 1);
    }
    grid.endUpdate();
}

} // namespace tl
