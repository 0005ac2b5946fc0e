#pragma once

#include "core/masterdata/MasterTable.h"
#include "gui/transactions/EntryWindowBase.h"

#include <QList>
#include <optional>

namespace tl {

// The form that sales and purchases share: a column of drop-down lists, each
// with the button of its master editor beside it, the price, quantity, total,
// paid and owed boxes, the date and the memo.
class TradeEntryWindow : public EntryWindow {
    Q_OBJECT
public:
    struct ListSpec {
        QString label;      // "产品名称："
        QString name;       // object name
        QString table;      // master table filling the list
        QString keyColumn;  // its key
        QString button;     // caption of the master editor button ("添加产品")
        MasterTable editor; // the editor that button opens for adding, with its add right
    };
    struct Form {
        QString caption;
        QList<ListSpec> lists;                            // in the order of the record's fields
        QString price, num, total, pay, owed, memo, date; // labels
        QString priceTip, numTip;                         // tooltips while no product is chosen
        QString history;                                  // caption of the history grid
        QString addRight, modifyRight;
        int productList = 0; // which lists the hints read
        int storageList = 0;
    };

    TradeEntryWindow(Session& session, const Database& db, const Form& form, QWidget* parent);

    PickList* list(int index) const { return m_lists.at(index); }

protected:
    // The quantity hint of the record on screen for a warehouse and product,
    // and the quantities beyond which its warehouse would go below zero.
    struct QuantityHint {
        QString text;
        std::optional<double> most;
        std::optional<double> least;
    };
    virtual QuantityHint quantityHint(int sid, int pid, qint64 id) const = 0;
    void refreshHints() override;
    QWidget* firstBox() const override;
    QWidget* boxAtFault() const override;

    // Shows a loaded record's key in a list, named from its master table.
    void chooseKey(int list, int key);
    // Shows a loaded record's figures, date and memo.
    void showValues(double price, double num, double pay, const QDate& date, const QString& memo);
    // A typed box's number: its leading numeric part, 0 for none.
    static double typed(const QLineEdit* box);

    void fillLists();
    void fillList(int index);
    void openEditor(int index);
    // Empties every box and list, as the add mode starts.
    void clearBoxes();
    // Total and owed from price, quantity and paid.
    void updateFigures();
    // Colours the quantity box when it lies beyond the last hint's limits.
    void checkQuantity();

    QList<PickList*> m_lists;
    QLineEdit* m_price = nullptr;
    QLineEdit* m_num = nullptr;
    QLineEdit* m_total = nullptr;
    QLineEdit* m_pay = nullptr;
    QLineEdit* m_owed = nullptr;
    QLineEdit* m_memo = nullptr;
    QLabel* m_priceHint = nullptr;
    QLabel* m_numHint = nullptr;

private:
    Form m_form;
    QuantityHint m_limits;
};

} // namespace tl
