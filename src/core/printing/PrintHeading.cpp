#include "core/printing/PrintHeading.h"

#include "core/accounts/AppPaths.h"
#include "core/support/Clock.h"
#include "core/values/Numbers.h"

#include <QPainter>

namespace tl {

namespace {

constexpr double kTitleHeight = 22;  // points
constexpr double kPeriodHeight = 14; // points
constexpr double kLineHeight = 14;   // footer, points
constexpr double kGap = 6;           // between the rules and the body, points

} // namespace

PrintHeading PrintHeading::now(const QString& title, const QString& period,
                               const QString& databasePath, const QString& operatorName) {
    return {title, period, AppPaths::displayName(databasePath), operatorName, Clock::now()};
}

QString PrintHeading::periodText(const QDate& from, const QDate& to) {
    return toText(from) + QStringLiteral(" 至 ") + toText(to);
}

QString PrintHeading::periodLine() const {
    return period.isEmpty() ? QString() : QStringLiteral("统计期间：") + period;
}

QString PrintHeading::footerText() const {
    return QStringLiteral("套帐：%1　操作员：%2　打印时间：%3")
        .arg(accountSet, operatorName, printedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

QString PrintHeading::pageText(int page, int pages) {
    return QStringLiteral("第 %1 页 / 共 %2 页").arg(page).arg(pages);
}

namespace pageframe {

QFont font(int size, bool bold) {
    QFont f;
    f.setFamilies({QStringLiteral("Droid Sans Fallback"), QStringLiteral("Noto Sans CJK SC"),
                   QStringLiteral("Noto Sans SC"), QStringLiteral("WenQuanYi Micro Hei"),
                   f.defaultFamily()});
    f.setPixelSize(std::max(1, size));
    f.setBold(bold);
    return f;
}

QRectF body(const QSizeF& area, const PrintHeading& heading) {
    const double top = kTitleHeight + (heading.period.isEmpty() ? 0 : kPeriodHeight) + kGap;
    const double bottom = kLineHeight + kGap;
    return QRectF(0, top, area.width(), std::max(1.0, area.height() - top - bottom));
}

void paint(QPainter& p, const PrintHeading& heading, const QSizeF& area, int page, int pages) {
    p.save();
    p.setPen(Qt::black);
    p.setFont(font(14, true));
    const double w = area.width();
    p.drawText(QRectF(0, 0, w, kTitleHeight), Qt::AlignCenter, heading.title);
    p.setFont(font(9));
    if (!heading.period.isEmpty())
        p.drawText(QRectF(0, kTitleHeight, w, kPeriodHeight), Qt::AlignHCenter | Qt::AlignTop,
                   heading.periodLine());
    const QRectF foot(0, area.height() - kLineHeight, w, kLineHeight);
    p.drawText(foot, Qt::AlignLeft | Qt::AlignBottom, heading.footerText());
    p.drawText(foot, Qt::AlignRight | Qt::AlignBottom, PrintHeading::pageText(page, pages));
    p.setPen(QPen(QColor(96, 96, 96), 0.5));
    p.drawLine(QPointF(0, foot.top() - 2), QPointF(w, foot.top() - 2));
    p.restore();
}

} // namespace pageframe

} // namespace tl
