#pragma once

#include "gui/transactions/TradeEntryWindow.h"

namespace tl {

struct BuyInput;

// "编辑采购记录": adds a purchase or modifies one; saving puts the quantity into
// the chosen warehouse.
class BuyEntryWindow final : public TradeEntryWindow {
    Q_OBJECT
public:
    BuyEntryWindow(Session& session, const Database& db, QWidget* parent = nullptr);

    static const QString caption;

private:
    void loadRecord(qint64 id) override;
    void clearForm() override;
    qint64 saveRecord(qint64 id) override;
    void loadHistory(Grid& grid) override;
    QuantityHint quantityHint(int sid, int pid, qint64 id) const override;
    BuyInput input() const;
};

} // namespace tl
