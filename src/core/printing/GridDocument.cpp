#include "core/printing/GridDocument.h"

#include "core/grid/Grid.h"
#include "core/grid/GridFormat.h"
#include "core/grid/GridMerge.h"
#include "core/support/Progress.h"

#include <QPainter>
#include <algorithm>

namespace tl {

namespace {

constexpr double kTwipsPerPoint = 20;
constexpr int kFontTwips = 180;   // 9 points, the screen's text size against its rows
constexpr int kPaddingTwips = 60; // of a cell's width on each side, as on screen
constexpr int kProgressStep = 4096;

// Page breaks along one direction: where each page starts, sizes summed
// until the room is full; a part bigger than the room gets a page of its own.
template <typename SizeOf>
bool breakInto(std::vector<int>& starts, int first, int end, double room, SizeOf sizeOf,
               Progress& progress) {
    starts.assign(1, first);
    double used = 0;
    for (int i = first; i < end; ++i) {
        if ((i - first) % kProgressStep == kProgressStep - 1) {
            progress.step(i);
            if (progress.cancelled())
                return false;
        }
        const int size = sizeOf(i);
        if (size <= 0)
            continue;
        if (used > 0 && used + size > room) {
            starts.push_back(i);
            used = 0;
        }
        used += size;
    }
    starts.push_back(end);
    return true;
}

// The page's rows (or columns): the visible fixed ones, then the visible ones
// from first to end.
template <typename SizeOf> QList<int> visibleOf(int fixed, int first, int end, SizeOf sizeOf) {
    QList<int> out;
    for (int i = 0; i < fixed; ++i)
        if (sizeOf(i) > 0)
            out.append(i);
    for (int i = first; i < end; ++i)
        if (sizeOf(i) > 0)
            out.append(i);
    return out;
}

// Edges of the listed rows or columns, from 0, in twips.
template <typename SizeOf> std::vector<int> edgesOf(const QList<int>& parts, SizeOf sizeOf) {
    std::vector<int> edges(1, 0);
    for (int i : parts)
        edges.push_back(edges.back() + sizeOf(i));
    return edges;
}

// Where a merged area (first..last of one direction) lies among a page's
// sorted parts: the first and last index, or first > last when off the page.
std::pair<int, int> spanOn(const QList<int>& parts, int first, int last) {
    const auto lo = std::lower_bound(parts.begin(), parts.end(), first);
    const auto hi = std::upper_bound(parts.begin(), parts.end(), last);
    return {int(lo - parts.begin()), int(hi - parts.begin()) - 1};
}

// One page's cells: the rows and columns it shows, their edges, and the
// merged areas as they fall on it.
class PageCells {
public:
    PageCells(const Grid& grid, QList<int> rows, QList<int> cols, const QList<QRect>& merged)
        : g(grid), m_rows(std::move(rows)), m_cols(std::move(cols)),
          m_ys(edgesOf(m_rows, [&g = g](int r) { return g.rowHeight(r); })),
          m_xs(edgesOf(m_cols, [&g = g](int c) { return g.colWidth(c); })) {
        for (const QRect& a : merged) {
            const auto [r0, r1] = spanOn(m_rows, a.top(), a.bottom());
            const auto [c0, c1] = spanOn(m_cols, a.left(), a.right());
            if (r0 <= r1 && c0 <= c1)
                m_areas.push_back({r0, r1, c0, c1, a.top(), a.left()});
        }
    }

    // Fills, then the borders over them, then the merged areas over both.
    void paintFills(QPainter& p) const {
        for (int ri = 0; ri < m_rows.size(); ++ri)
            for (int ci = 0; ci < m_cols.size(); ++ci) {
                const QColor back = backOf(m_rows[ri], m_cols[ci]);
                if (back.isValid() && !covered(ri, ci))
                    p.fillRect(cellRect(ri, ri, ci, ci), back);
            }
        p.setPen(QPen(QColor(150, 150, 150), 10));
        QList<QLineF> lines;
        for (int y : m_ys)
            lines.append(QLineF(m_xs.front(), y, m_xs.back(), y));
        for (int x : m_xs)
            lines.append(QLineF(x, m_ys.front(), x, m_ys.back()));
        p.drawLines(lines);
        for (const Area& a : m_areas) {
            const QRectF rect = cellRect(a.r0, a.r1, a.c0, a.c1);
            const QColor back = backOf(a.row, a.col);
            p.fillRect(rect, back.isValid() ? back : QColor(Qt::white));
            p.drawRect(rect);
        }
    }

    // Texts, the font and pen changed only when a cell asks for another.
    void paintTexts(QPainter& p) {
        m_font = pageframe::font(kFontTwips);
        m_bold = false;
        m_pen = Qt::black;
        p.setFont(m_font);
        p.setPen(m_pen);
        for (int ri = 0; ri < m_rows.size(); ++ri)
            for (int ci = 0; ci < m_cols.size(); ++ci)
                if (!covered(ri, ci))
                    drawCell(p, m_rows[ri], m_cols[ci], cellRect(ri, ri, ci, ci));
        for (const Area& a : m_areas)
            drawCell(p, a.row, a.col, cellRect(a.r0, a.r1, a.c0, a.c1));
    }

private:
    // A merged area: the indexes among rows and cols it covers, and the cell
    // whose text and look it shows.
    struct Area {
        int r0, r1, c0, c1, row, col;
    };

    bool covered(int ri, int ci) const {
        return std::any_of(m_areas.begin(), m_areas.end(), [&](const Area& a) {
            return ri >= a.r0 && ri <= a.r1 && ci >= a.c0 && ci <= a.c1;
        });
    }
    QColor backOf(int r, int c) const {
        const CellStyle s = g.style(r, c);
        if (s.back.isValid())
            return s.back;
        return r < g.fixedRows() || c < g.fixedCols() ? fixedCellColor() : QColor();
    }
    QRectF cellRect(int r0, int r1, int c0, int c1) const {
        return QRectF(m_xs[size_t(c0)], m_ys[size_t(r0)], m_xs[size_t(c1) + 1] - m_xs[size_t(c0)],
                      m_ys[size_t(r1) + 1] - m_ys[size_t(r0)]);
    }
    void drawCell(QPainter& p, int r, int c, const QRectF& rect) {
        const QString text = g.text(r, c);
        if (text.isEmpty())
            return;
        const CellStyle s = g.style(r, c);
        if (s.bold != m_bold) {
            m_bold = s.bold;
            m_font.setBold(m_bold);
            p.setFont(m_font);
        }
        const QColor fore = s.fore.isValid() ? s.fore : QColor(Qt::black);
        if (fore != m_pen) {
            m_pen = fore;
            p.setPen(m_pen);
        }
        Qt::Alignment align = g.alignment(r, c) & Qt::AlignHorizontal_Mask;
        p.drawText(rect.adjusted(kPaddingTwips, 0, -kPaddingTwips, 0),
                   int((align ? align : Qt::AlignLeft) | Qt::AlignVCenter), text);
    }

    const Grid& g;
    const QList<int> m_rows, m_cols;
    const std::vector<int> m_ys, m_xs;
    std::vector<Area> m_areas;
    QFont m_font;
    bool m_bold = false;
    QColor m_pen;
};

} // namespace

GridDocument::GridDocument(const Grid& grid, PrintHeading heading)
    : m_grid(grid), m_heading(std::move(heading)) {}

QPageLayout::Orientation GridDocument::preferredOrientation(const QSizeF& portraitArea) const {
    double width = 0;
    for (int c = 0; c < m_grid.cols(); ++c)
        width += m_grid.colWidth(c);
    return width / kTwipsPerPoint > portraitArea.width() ? QPageLayout::Landscape
                                                         : QPageLayout::Portrait;
}

int GridDocument::paginate(const QSizeF& area, Progress& progress) {
    const Grid& g = m_grid;
    m_area = area;
    m_merged = mergedAreas(g);
    const auto width = [&g](int c) { return g.colWidth(c); };
    const auto height = [&g](int r) { return g.rowHeight(r); };
    int fixedWidth = 0, allWidth = 0, fixedHeight = 0;
    for (int c = 0; c < g.cols(); ++c)
        (c < g.fixedCols() ? fixedWidth : allWidth) += width(c);
    allWidth += fixedWidth;
    for (int r = 0; r < g.fixedRows(); ++r)
        fixedHeight += height(r);

    const double roomWidth = area.width() * kTwipsPerPoint;
    m_scale = allWidth > 0 ? std::clamp(roomWidth / allWidth, kMinScale, 1.0) : 1.0;
    const QRectF body = pageframe::body(area, m_heading);
    const double roomHeight = body.height() * kTwipsPerPoint / m_scale - fixedHeight;

    progress.show(QStringLiteral("正在分页……"), g.rows());
    if (allWidth * m_scale <= roomWidth)
        m_colStarts = {g.fixedCols(), g.cols()};
    else if (!breakInto(m_colStarts, g.fixedCols(), g.cols(), roomWidth / m_scale - fixedWidth,
                        width, progress))
        return 0;
    if (!breakInto(m_rowStarts, g.fixedRows(), g.rows(), roomHeight, height, progress))
        return 0;
    return pageCount();
}

int GridDocument::pageCount() const {
    return std::max(0, pagesDown()) * std::max(0, int(m_colStarts.size()) - 1);
}

QList<int> GridDocument::rowsOf(int index) const {
    if (index < 0 || index >= pageCount())
        return {};
    const int down = index % pagesDown();
    return visibleOf(m_grid.fixedRows(), m_rowStarts[size_t(down)], m_rowStarts[size_t(down) + 1],
                     [this](int r) { return m_grid.rowHeight(r); });
}

QList<int> GridDocument::colsOf(int index) const {
    if (index < 0 || index >= pageCount())
        return {};
    const int across = index / pagesDown();
    return visibleOf(m_grid.fixedCols(), m_colStarts[size_t(across)],
                     m_colStarts[size_t(across) + 1], [this](int c) { return m_grid.colWidth(c); });
}

void GridDocument::paintPage(QPainter& p, int index) {
    if (index < 0 || index >= pageCount())
        return;
    pageframe::paint(p, m_heading, m_area, index + 1, pageCount());
    PageCells cells(m_grid, rowsOf(index), colsOf(index), m_merged);
    const QRectF body = pageframe::body(m_area, m_heading);

    p.save();
    p.translate(body.topLeft());
    p.scale(m_scale / kTwipsPerPoint, m_scale / kTwipsPerPoint);
    const double toTwips = kTwipsPerPoint / m_scale;
    p.setClipRect(QRectF(0, 0, body.width() * toTwips, body.height() * toTwips));
    p.setRenderHint(QPainter::Antialiasing, false);
    cells.paintFills(p);
    cells.paintTexts(p);
    p.restore();
}

} // namespace tl
