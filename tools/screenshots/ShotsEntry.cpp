// The sale, purchase and transfer entry windows, empty and on a record.
#include "Shots.h"

#include "core/data/Database.h"
#include "gui/transactions/BuyEntryWindow.h"
#include "gui/transactions/SaleEntryWindow.h"
#include "gui/transactions/TransferEntryWindow.h"

namespace {

template <class Window> void shoot(shots::Context& ctx, const char* table, const QString& name) {
    {
        Window empty(ctx.session, ctx.db);
        ctx.save(&empty, name);
    }
    const qint64 id = ctx.db.value(QStringLiteral("SELECT MAX(ID) FROM ") + table).toLongLong();
    if (id == 0)
        return;
    Window onRecord(ctx.session, ctx.db);
    onRecord.setRecordId(id);
    ctx.save(&onRecord, name + QStringLiteral("-修改"));
}

} // namespace

SHOTS(40, "entry") {
    shoot<tl::SaleEntryWindow>(ctx, "Sale", tl::SaleEntryWindow::caption);
    shoot<tl::BuyEntryWindow>(ctx, "Buy", tl::BuyEntryWindow::caption);
    shoot<tl::TransferEntryWindow>(ctx, "Adjust", tl::TransferEntryWindow::caption);
}
