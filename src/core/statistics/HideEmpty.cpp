#include "core/statistics/HideEmpty.h"

#include "core/grid/Grid.h"
#include "core/values/Numbers.h"

#include <vector>

namespace tl {

namespace {

bool isEmptyCell(const QString& text) {
    const QString t = text.trimmed();
    return t.isEmpty() || t == QLatin1String("-") || cellNumber(t) == 0;
}

} // namespace

void hideEmptyLines(Grid& grid, bool hide) {
    const int rows = grid.rows(), cols = grid.cols();
    const int fr = grid.fixedRows(), fc = grid.fixedCols();
    if (rows <= fr || cols <= fc)
        return;
    std::vector<bool> rowHasData(size_t(rows), false), colHasData(size_t(cols), false);
    for (int r = fr; r < rows; ++r) {
        for (int c = fc; c < cols; ++c) {
            if (!isEmptyCell(grid.text(r, c))) {
                rowHasData[size_t(r)] = true;
                colHasData[size_t(c)] = true;
            }
        }
    }
    grid.beginUpdate();
    for (int c = fc; c < cols; ++c) {
        if (!colHasData[size_t(c)])
            grid.setColWidth(c, hide ? 0 : 1800);
    }
    for (int r = fr; r < rows; ++r) {
        if (!rowHasData[size_t(r)])
            grid.setRowHeight(r, hide ? 0 : 255);
    }
    grid.endUpdate();
}

} // namespace tl
