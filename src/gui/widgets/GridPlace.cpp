#include "gui/widgets/GridPlace.h"

#include "core/grid/Grid.h"
#include "core/grid/GridSelection.h"
#include "gui/widgets/GridModel.h"
#include "gui/widgets/GridView.h"

#include <QScrollBar>
#include <QTableView>
#include <algorithm>

namespace tl {

namespace {

int rowOfKey(const Grid& grid, qint64 key) {
    const QString text = QString::number(key);
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        if (grid.text(r, 0).trimmed() == text)
            return r;
    }
    return -1;
}

void select(Grid& grid, GridView& view, int row) {
    grid.setSelection(row, grid.fixedCols(), row, grid.cols() - 1);
    QTableView* body = view.bodyView();
    for (int c = grid.fixedCols(); c < grid.cols(); ++c) {
        if (!body->isColumnHidden(c)) {
            body->scrollTo(view.model()->index(row, c));
            return;
        }
    }
}

} // namespace

GridPlace GridPlace::of(const Grid& grid) {
    GridPlace p;
    if (grid.rows() <= grid.fixedRows())
        return p;
    p.key = rowKey(grid, grid.row());
    p.row = grid.row();
    p.topRow = grid.topRow();
    p.leftCol = grid.leftCol();
    return p;
}

void GridPlace::restore(Grid& grid, GridView& view) const {
    const int fixed = grid.fixedRows();
    if (row < 0 || grid.rows() <= fixed)
        return;
    int target = key ? rowOfKey(grid, *key) : -1;
    if (target < 0)
        target = std::clamp(row, fixed, grid.rows() - 1);
    grid.setTopRow(std::clamp(topRow, fixed, grid.rows() - 1));
    // Per-item scrolling counts the columns that show.
    QTableView* body = view.bodyView();
    int left = 0;
    for (int c = grid.fixedCols(); c < std::min(leftCol, grid.cols()); ++c) {
        if (!body->isColumnHidden(c))
            ++left;
    }
    body->horizontalScrollBar()->setValue(left);
    select(grid, view, target);
}

qint64 largestKey(const Grid& grid) {
    qint64 largest = 0;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r)
        largest = std::max(largest, rowKey(grid, r).value_or(0));
    return largest;
}

bool showRecord(Grid& grid, GridView& view, qint64 key) {
    const int row = rowOfKey(grid, key);
    if (row < 0)
        return false;
    select(grid, view, row);
    return true;
}

} // namespace tl
