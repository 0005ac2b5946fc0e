#include "core/grid/GridFind.h"

#include "core/grid/Grid.h"
#include "core/grid/GridHeader.h"

namespace tl {

namespace {

bool rowHas(const Grid& grid, int row, const QString& text) {
    // Keys and serial numbers are never searched; names in a master list's
    // column 1 are, so an account is found by its name.
    const int first = hasSerialColumn(grid) ? 2 : 1;
    for (int c = first; c < grid.cols(); ++c) {
        const QString cell = grid.text(row, c).trimmed();
        if (!cell.isEmpty() && cell.contains(text, Qt::CaseSensitive))
            return true;
    }
    return false;
}

} // namespace

Outcome findInGrid(Grid& grid, const QString& text) {
    const int rows = grid.rows();
    if (grid.cols() < 3 || rows < 2 || !grid.isVisible())
        return Outcome::refused(QString());
    if (grid.row() < 1)
        grid.setCurrent(1, grid.col());
    const int start = grid.row();
    int r = start + 1 < rows ? start + 1 : 1;
    for (;;) {
        if (rowHas(grid, r, text)) {
            grid.setSelection(r, 1, r, grid.cols() - 1);
            grid.setTopRow(r);
            return Outcome::ok();
        }
        if (r == start)
            break;
        r = r + 1 < rows ? r + 1 : 1;
    }
    return Outcome::refused(QStringLiteral("没有找到含有字符串“") + text +
                            QStringLiteral("”的记录！"));
}

} // namespace tl
