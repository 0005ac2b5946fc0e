#pragma once

#include "core/values/Period.h"

#include <QDate>
#include <QString>

namespace tl {

class Grid;

// A chart table is a Grid read by the bar-chart renderer: row 0 the header
// (column 0 empty, columns 1..n the series names), then one row per x
// position (one month): column 0 its label, columns 1..n the series values as
// text. A value may end in "%"; the renderer reads the number without it and
// shows the text as it is.

// What a chart table function reports. When drawable is false, message says
// why (shown to the operator) and the table must not be drawn.
struct ChartResult {
    QString title;
    QString message;
    bool drawable = false;
};

// The months a chart covers: from the first day of the earlier date's month to
// the last day of the later date's month; the dates may come in either order.
struct MonthRange {
    QDate first;        // first day of the first month
    QDate last;         // last day of the last month
    int firstIndex = 0; // year * 12 + month - 1 of the first month
    int count = 0;      // months in the range (0 when a date is invalid)

    MonthRange(QDate a, QDate b);
    bool valid() const { return count > 0; }
    // The row of a month index in the chart table (1 for the first month), or
    // 0 when the month lies outside the range.
    int rowOf(int monthIndex) const {
        const int r = monthIndex - firstIndex;
        return r >= 0 && r < count ? r + 1 : 0;
    }
    // "2008.03-2008.12", for the titles.
    QString labelText() const;
    // The days of the months, for reading their records.
    Period days() const { return {first, last}; }
};

// year * 12 + month - 1 of a stored date text ("2008-03-15", with or without a
// time), or -1 when the text does not begin with a date.
int monthIndexOf(const QString& storedDate);

// A chart value as text: at most four decimals, no exponent, and never "-0"
// (sums of money carry binary noise that must not show as -0.0000000001).
QString chartNumberText(double value);
// The number in a chart cell: "%", "￥" and "," removed; 0 when it is no number.
double chartCellNumber(const QString& text);

// Resets the grid to the header row of a chart table with these series and one
// row per month of the range, every value "0".
void setupChartTable(Grid& grid, const QStringList& series, const MonthRange& range);

// Copies the texts and shape of a chart table into another grid.
void copyChartTable(const Grid& from, Grid& to);

} // namespace tl
