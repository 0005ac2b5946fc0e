#pragma once

#include "core/printing/PrintDocument.h"
#include "core/printing/PrintHeading.h"

#include <QList>
#include <QRect>
#include <vector>

namespace tl {

class Grid;

// The printed form of a grid, drawn as the view shows it: texts, fills, text
// colours, bold, alignment, merged cells, thin borders; hidden rows and
// columns left out. Sizes come from the grid's twips (1440 to the inch).
// The caption rows head every page. A grid wider than the page shrinks, down
// to kMinScale; beyond that its columns continue on further pages, the frozen
// columns repeated on each. Pages run down first, then across: all rows of
// the first columns, then all rows of the next.
// The layout keeps only where pages break; painting reads the grid, which
// must stay unchanged and alive from paginate() to the last paintPage().
class GridDocument : public PrintDocument {
public:
    static constexpr double kMinScale = 0.7;

    GridDocument(const Grid& grid, PrintHeading heading);

    QString title() const override { return m_heading.title; }
    QPageLayout::Orientation preferredOrientation(const QSizeF& portraitArea) const override;
    int paginate(const QSizeF& area, Progress& progress) override;
    void paintPage(QPainter& painter, int index) override;

    // The last layout: the scale of the body, the number of pages, and the
    // rows and columns page index shows in order (caption rows and, with the
    // columns split, frozen columns first).
    double scale() const { return m_scale; }
    int pageCount() const;
    QList<int> rowsOf(int index) const;
    QList<int> colsOf(int index) const;

private:
    int pagesDown() const { return int(m_rowStarts.size()) - 1; }

    const Grid& m_grid;
    PrintHeading m_heading;
    QSizeF m_area;
    double m_scale = 1;
    std::vector<int> m_rowStarts; // first body row of each page down, then the end
    std::vector<int> m_colStarts; // first scrollable column of each page across, then the end
    QList<QRect> m_merged;
};

} // namespace tl
