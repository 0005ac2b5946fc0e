#pragma once

#include "gui/transactions/TradeEntryWindow.h"

namespace tl {

struct SaleInput;

// "编辑销售记录": adds a sale or modifies one; saving takes the quantity out of
// the chosen warehouse.
class SaleEntryWindow final : public TradeEntryWindow {
    Q_OBJECT
public:
    SaleEntryWindow(Session& session, const Database& db, QWidget* parent = nullptr);

    static const QString caption;

private:
    void loadRecord(qint64 id) override;
    void clearForm() override;
    qint64 saveRecord(qint64 id) override;
    void loadHistory(Grid& grid) override;
    QuantityHint quantityHint(int sid, int pid, qint64 id) const override;
    SaleInput input() const;
};

} // namespace tl
