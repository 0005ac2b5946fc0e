#include "transactions/EntryWindows.h"

#include "transactions/BuyEntryWindow.h"
#include "transactions/SaleEntryWindow.h"
#include "transactions/TransferEntryWindow.h"
#include "widgets/OwnerBlock.h"

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
