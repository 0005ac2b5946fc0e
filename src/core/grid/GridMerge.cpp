#include "core/grid/GridMerge.h"

#include "core/grid/Grid.h"

#include <vector>

namespace tl {

QList<QRect> mergedAreas(const Grid& grid) {
    const int rows = grid.rows();
    const int cols = grid.cols();
    QList<QRect> areas;
    for (const QRect& span : grid.spans())
        if (span.right() < cols && span.bottom() < rows)
            areas.append(span); // rows removed since may have cut it off
    const qsizetype spans = areas.size();
    if (!grid.mergeCells() || rows == 0 || cols == 0)
        return areas;
    auto spanned = [&](int r, int c) {
        for (qsizetype i = 0; i < spans; ++i)
            if (areas[i].contains(c, r))
                return true;
        return false;
    };
    const int fr = grid.fixedRows();
    const int fc = grid.fixedCols();
    // Cells already inside a merged run of their row; only needed when some
    // column merges too.
    std::vector<bool> taken;
    bool anyCol = false;
    for (int c = 0; c < cols && !anyCol; ++c)
        anyCol = grid.mergeCol(c);
    if (anyCol)
        taken.assign(static_cast<size_t>(rows) * static_cast<size_t>(cols), false);
    auto at = [cols](int r, int c) { return static_cast<size_t>(r) * cols + c; };

    for (int r = 0; r < rows; ++r) {
        if (!grid.mergeRow(r))
            continue;
        int c = 0;
        while (c < cols) {
            if (spans && spanned(r, c)) {
                ++c;
                continue;
            }
            const QString t = grid.text(r, c);
            const int regionEnd = c < fc ? fc : cols;
            int end = c + 1;
            while (!t.isEmpty() && end < regionEnd && grid.text(r, end) == t &&
                   !(spans && spanned(r, end)))
                ++end;
            if (end - c > 1) {
                areas.append(QRect(c, r, end - c, 1));
                if (anyCol) {
                    for (int k = c; k < end; ++k)
                        taken[at(r, k)] = true;
                }
            }
            c = end;
        }
    }
    if (!anyCol)
        return areas;
    for (int c = 0; c < cols; ++c) {
        if (!grid.mergeCol(c))
            continue;
        int r = 0;
        while (r < rows) {
            if (taken[at(r, c)] || (spans && spanned(r, c))) {
                ++r;
                continue;
            }
            const QString t = grid.text(r, c);
            const int regionEnd = r < fr ? fr : rows;
            int end = r + 1;
            while (!t.isEmpty() && end < regionEnd && !taken[at(end, c)] &&
                   grid.text(end, c) == t && !(spans && spanned(end, c)))
                ++end;
            if (end - r > 1)
                areas.append(QRect(c, r, 1, end - r));
            r = end;
        }
    }
    return areas;
}

} // namespace tl
