// The slips: the settings dialog, the refusal of a mixed selection, and the
// first page of a sale slip as it is printed.
#include "Shots.h"

#include "core/data/Database.h"
#include "core/printing/SlipDocument.h"
#include "core/support/Progress.h"
#include "gui/mainwindow/ShopSettingsDialog.h"
#include "gui/widgets/Dialogs.h"

#include <QImage>
#include <QMessageBox>
#include <QPainter>

SHOTS(85, "单据") {
    tl::ShopSettingsDialog settings(ctx.db, ctx.session);
    ctx.save(&settings, QStringLiteral("单据设置"));

    QList<qint64> mixed, one;
    QSqlQuery q = ctx.db.run(QStringLiteral("SELECT ID FROM Sale ORDER BY ID LIMIT 40"));
    while (q.next())
        mixed << q.value(0).toLongLong();
    // Six sales of the customer who buys most.
    q = ctx.db.run(QStringLiteral("SELECT ID FROM Sale WHERE CID=(SELECT CID FROM Sale GROUP BY "
                                  "CID ORDER BY count(*) DESC LIMIT 1) ORDER BY ID LIMIT 6"));
    while (q.next())
        one << q.value(0).toLongLong();
    tl::Slip slip;
    const tl::Outcome refused = tl::buildSlip(ctx.db, ctx.session, tl::SlipKind::Sale, mixed, slip);
    QMessageBox box(QMessageBox::Information, tl::programTitle(), refused.message, QMessageBox::Ok);
    ctx.save(&box, QStringLiteral("消息-销售单多个客户"));

    if (!tl::buildSlip(ctx.db, ctx.session, tl::SlipKind::Sale, one, slip))
        return;
    tl::SlipDocument document(slip);
    document.setNumber(tl::SlipNumbers::next(ctx.db, tl::SlipKind::Sale));
    const QSizeF area(510, 774); // A4 within the default margins, in points
    document.paginate(area, tl::Progress::silent());
    constexpr double scale = 1.5, margin = 40;
    QImage page((area * scale + QSizeF(2 * margin, 2 * margin)).toSize(), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.translate(margin, margin);
    painter.scale(scale, scale);
    document.paintPage(painter, 0);
    painter.end();
    page.save(ctx.outDir + QStringLiteral("/销售单.png"));
}
