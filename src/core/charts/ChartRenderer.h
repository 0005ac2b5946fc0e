#pragma once

#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace tl {

class Grid;

// The bar chart of a chart table (see ChartGrid.h). Positions are in twips,
// 15 to the pixel at 96 dpi; text heights are in pixels, as the chart's
// geometry was laid out for them.
namespace chart {

constexpr double kTwipsPerPixel = 15.0;

// The plot rectangle of a picture: 1000 twips from the left, right and bottom
// edges (room for the value axis, the legend and the month labels) and 800
// from the top (the title).
QRectF plotRect(const QSizeF& picture);

// The table row drawn in the slot under x (twips) when rows firstRow..lastRow
// are drawn on a picture of this size, or 0 outside the slots.
int rowAt(const QSizeF& picture, int firstRow, int lastRow, double x);

// Series c (1, 2, ...): RGB(255, 0, 255), RGB(175, 80, 175), ...
QColor seriesColor(int series);
inline QColor plotColor() {
    return QColor(221, 221, 221);
}

// The axis step: a fifth of the largest value, rounded to a whole number
// (halves to even); 0 when the largest value is below 2.5, in which case the
// axis shows no labels and no grid lines.
double axisStep(double maxValue);

} // namespace chart

// Paints rows firstRow..lastRow of the chart table onto the painter, whose
// coordinates are twips over a picture of the given size: white background,
// black frame, grey plot area, value axis with white grid lines, one bar per
// series and row with its value above it, the rows' labels turned to run
// downwards under the plot, the legend at the right and the title on top. A
// negative value is labelled as it is and drawn with height 0. Labels that
// would overlap are thinned out (every second, third ... month) or turned
// upright, never printed over each other. Nothing is drawn for a table with
// fewer than 2 columns.
void paintChart(QPainter& painter, const Grid& table, const QString& title, const QSizeF& picture,
                int firstRow, int lastRow);

// Paints the whole picture of a chart as the window shows it: a picture of
// the given size in pixels (the painter's own units), the chart over all of it
// and, when border > 0, a grey frame of that many pixels around it. Draws
// every data row of the table.
void paintChartPicture(QPainter& painter, const Grid& table, const QString& title,
                       const QSizeF& pixels, int border = 0);

} // namespace tl
