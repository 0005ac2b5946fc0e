#include "core/charts/ChartGrid.h"

#include "core/grid/Grid.h"
#include "core/values/Dates.h"
#include "core/values/Numbers.h"

#include <QStringList>
#include <cmath>

namespace tl {

namespace {

int monthIndex(const QDate& date) {
    return date.year() * 12 + date.month() - 1;
}

int digits(const QString& s, int from, int count) {
    int n = 0;
    for (int i = from; i < from + count; ++i) {
        const QChar c = s.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        n = n * 10 + (c.unicode() - '0');
    }
    return n;
}

} // namespace

MonthRange::MonthRange(QDate a, QDate b) {
    if (!a.isValid() || !b.isValid())
        return;
    if (a > b)
        std::swap(a, b);
    first = firstOfMonth(a);
    last = lastOfMonth(b);
    firstIndex = monthIndex(first);
    count = monthIndex(last) - firstIndex + 1;
}

QString MonthRange::labelText() const {
    return yearMonthText(first) + QLatin1Char('-') + yearMonthText(last);
}

int monthIndexOf(const QString& storedDate) {
    if (storedDate.size() < 7 || storedDate.at(4) != QLatin1Char('-'))
        return -1;
    const int year = digits(storedDate, 0, 4);
    int month = digits(storedDate, 5, 2);
    if (month < 0 && storedDate.size() >= 6) // "2008-3-15"
        month = digits(storedDate, 5, 1);
    if (year < 0 || month < 1 || month > 12)
        return -1;
    return year * 12 + month - 1;
}

QString chartNumberText(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("0");
    QString s = QString::number(value, 'f', 4);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    if (s == QLatin1String("-0"))
        return QStringLiteral("0");
    return s;
}

double chartCellNumber(const QString& text) {
    QString s = moneyValue(text);
    s.remove(QLatin1Char('%'));
    bool ok = false;
    const double v = s.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

void setupChartTable(Grid& grid, const QStringList& series, const MonthRange& range) {
    grid.beginUpdate();
    grid.reset(1 + range.count, 1 + int(series.size()), 1, 1);
    grid.setColWidth(0, 1050);
    for (int c = 0; c < series.size(); ++c) {
        grid.setText(0, c + 1, series.at(c));
        grid.setColWidth(c + 1, 1250);
        grid.setColAlignment(c + 1, Qt::AlignRight | Qt::AlignVCenter);
    }
    QDate month = range.first;
    for (int r = 1; r <= range.count; ++r, month = month.addMonths(1)) {
        grid.cellRef(r, 0) = yearMonthText(month);
        for (int c = 1; c <= series.size(); ++c)
            grid.cellRef(r, c) = QStringLiteral("0");
    }
    grid.endUpdate();
}

void copyChartTable(const Grid& from, Grid& to) {
    to.beginUpdate();
    to.reset(from.rows(), from.cols(), from.fixedRows(), from.fixedCols());
    for (int c = 0; c < from.cols(); ++c) {
        to.setColWidth(c, from.colWidth(c));
        to.setColAlignment(c, from.colAlignment(c));
    }
    for (int r = 0; r < from.rows(); ++r)
        for (int c = 0; c < from.cols(); ++c)
            to.cellRef(r, c) = from.text(r, c);
    to.endUpdate();
}

} // namespace tl
