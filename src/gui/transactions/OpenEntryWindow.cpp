#include "gui/transactions/OpenEntryWindow.h"

#include "gui/transactions/BuyEntryWindow.h"
#include "gui/transactions/SaleEntryWindow.h"
#include "gui/transactions/TransferEntryWindow.h"
#include "gui/widgets/OwnerBlock.h"

namespace tl {
namespace {

template <class Window>
bool runEntry(QWidget* owner, Session& session, const Database& db, std::optional<qint64> id) {
    Window window(session, db, owner);
    if (id)
        window.setRecordId(*id);
    OwnerBlock block(owner);
    window.setEnabled(true);
    window.exec();
    return window.mayHaveChanged();
}

} // namespace

bool openSaleEntry(QWidget* owner, Session& session, const Database& db, std::optional<qint64> id) {
    return runEntry<SaleEntryWindow>(owner, session, db, id);
}

bool openBuyEntry(QWidget* owner, Session& session, const Database& db, std::optional<qint64> id) {
    return runEntry<BuyEntryWindow>(owner, session, db, id);
}

bool openTransferEntry(QWidget* owner, Session& session, const Database& db,
                       std::optional<qint64> id) {
    return runEntry<TransferEntryWindow>(owner, session, db, id);
}

} // namespace tl
