#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <optional>

class QPainter;
class QPagedPaintDevice;

namespace tl {

class Progress;

// Something printed on pages: a grid, a chart, a slip. The print dialog, the
// preview and PDF files all lay it out through paginate() and draw it through
// paintPage(), so the three show the same pages.
class PrintDocument {
public:
    virtual ~PrintDocument() = default;

    // The name of the print job and of the PDF's title.
    virtual QString title() const = 0;
    // The orientation asked for when the operator has chosen none, given the
    // printable area of a portrait page in points: a grid wider than that
    // asks for landscape.
    virtual QPageLayout::Orientation preferredOrientation(const QSizeF& portraitArea) const {
        Q_UNUSED(portraitArea);
        return QPageLayout::Portrait;
    }
    // Lays the document out on pages whose printable area is area points
    // (1/72 inch) wide and high. Returns the number of pages (at least 1), or
    // 0 when the operator cancelled through the progress.
    virtual int paginate(const QSizeF& area, Progress& progress) = 0;
    // Draws page index (0-based) of the last layout. The painter's unit is
    // the point, its origin the top left corner of the printable area.
    virtual void paintPage(QPainter& painter, int index) = 0;
};

// Paper, orientation and margins of a print.
struct PageSetup {
    QPageSize paper = QPageSize(QPageSize::A4);
    std::optional<QPageLayout::Orientation> orientation; // none: the document's choice
    QMarginsF margins{15, 12, 15, 12};                   // millimetres

    // The page layout for the document: the chosen orientation, else the
    // one the document asks for on this paper.
    QPageLayout layoutFor(const PrintDocument& document) const;
};

// The printable area of a layout, in points.
QSizeF printableArea(const QPageLayout& layout);

// Lays the document out for the device's page layout and paints pages
// from..to (1-based, inclusive; 0 and 0 for every page) onto it, one device
// page each, reporting "正在打印第 n 页，共 m 页" through the progress and
// offering 取消 meanwhile. Returns the number of pages painted, 0 when
// cancelled or when the device takes no painter.
int paintDocument(PrintDocument& document, QPagedPaintDevice& device, Progress& progress,
                  int from = 0, int to = 0);

} // namespace tl
