#pragma once

#include <QDate>
#include <QDateTime>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace tl {

// What every printed page says besides its body: the view's title and, for a
// report, its period on top; the account set, the operator, the print time
// and the page number at the foot.
struct PrintHeading {
    QString title;
    QString period; // empty: the view has none
    QString accountSet;
    QString operatorName;
    QDateTime printedAt;

    // A heading printed now (the program's clock) from the account set at
    // databasePath, named as the main window's caption names it.
    static PrintHeading now(const QString& title, const QString& period,
                            const QString& databasePath, const QString& operatorName);
    // "2024-03-01 至 2024-03-31"
    static QString periodText(const QDate& from, const QDate& to);

    // "统计期间：2024-03-01 至 2024-03-31", empty without a period.
    QString periodLine() const;
    // "套帐：示例套帐　操作员：admin　打印时间：2026-12-07 13:55"
    QString footerText() const;
    // "第 n 页 / 共 m 页"
    static QString pageText(int page, int pages);
};

// The frame around the body of a printed page, in points.
namespace pageframe {

// The part of the printable area left to the body under the heading and
// above the footer.
QRectF body(const QSizeF& area, const PrintHeading& heading);
// Draws the heading and the footer of page (1-based) of pages.
void paint(QPainter& painter, const PrintHeading& heading, const QSizeF& area, int page, int pages);
// The printed face, one that has the Chinese texts, its size in units of the
// painter (whatever its transform: a point size would be taken in device
// dots). Droid Sans Fallback first: the PDF writer maps each glyph back to
// the lowest character that shares it, and Noto CJK shares its glyphs with
// the radicals, so that 页 would be copied or searched as ⻚.
QFont font(int size, bool bold = false);

} // namespace pageframe

} // namespace tl
