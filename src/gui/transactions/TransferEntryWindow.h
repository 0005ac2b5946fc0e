#pragma once

#include "gui/transactions/EntryWindowBase.h"

#include <optional>

namespace tl {

struct TransferInput;

// "编辑仓库间调货记录": moves a quantity of one product from one warehouse to
// another. A saved transfer keeps its warehouses and product; only quantity,
// date and memo can be modified.
class TransferEntryWindow final : public EntryWindow {
    Q_OBJECT
public:
    TransferEntryWindow(Session& session, const Database& db, QWidget* parent = nullptr);

    static const QString caption;

    PickList* outList() const { return m_out; }
    PickList* inList() const { return m_in; }
    PickList* productList() const { return m_product; }
    QLineEdit* numBox() const { return m_num; }
    QLineEdit* memoBox() const { return m_memo; }

private:
    void loadRecord(qint64 id) override;
    void clearForm() override;
    qint64 saveRecord(qint64 id) override;
    void refreshHints() override;
    QWidget* firstBox() const override;
    QWidget* boxAtFault() const override;
    void checkQuantity();
    void loadHistory(Grid& grid) override;
    void setListsEnabled(bool enabled);
    TransferInput input() const;

    PickList* m_out = nullptr;
    PickList* m_in = nullptr;
    PickList* m_product = nullptr;
    QLineEdit* m_num = nullptr;
    QLineEdit* m_memo = nullptr;
    QLabel* m_numHint = nullptr;
    std::optional<qint64> m_limit;
};

} // namespace tl
