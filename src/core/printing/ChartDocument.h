#pragma once

#include "core/printing/PrintDocument.h"
#include "core/printing/PrintHeading.h"

namespace tl {

class Grid;

// A chart printed on one page, landscape unless the operator chose otherwise:
// the chart of a chart table drawn by the chart renderer over the body of
// the page, under the same heading and footer as a printed grid. The table
// must stay alive while the document is printed.
class ChartDocument : public PrintDocument {
public:
    // chartTitle is the title drawn inside the chart, as on screen.
    ChartDocument(const Grid& table, QString chartTitle, PrintHeading heading);

    QString title() const override { return m_heading.title; }
    QPageLayout::Orientation preferredOrientation(const QSizeF&) const override {
        return QPageLayout::Landscape;
    }
    int paginate(const QSizeF& area, Progress& progress) override;
    void paintPage(QPainter& painter, int index) override;

private:
    const Grid& m_table;
    QString m_chartTitle;
    PrintHeading m_heading;
    QSizeF m_area;
};

} // namespace tl
