#include "gui/transactions/TradeEntryWindow.h"

#include "core/data/Database.h"
#include "core/transactions/EntryHints.h"
#include "core/values/ItemText.h"
#include "core/values/Numbers.h"
#include "gui/masterdata/OpenMasterEditor.h"
#include "gui/transactions/PickList.h"
#include "gui/widgets/ComboFill.h"
#include "gui/widgets/Guard.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <tuple>

namespace tl {
TradeEntryWindow::TradeEntryWindow(Session& session, const Database& db, const Form& form,
                                   QWidget* parent)
    : EntryWindow(session, db, form.addRight, form.modifyRight, parent), m_form(form) {
    setWindowTitle(form.caption);

    // Left: the lists with their master editors, then the date. Right: the figures.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(3, 24);
    QList<QPushButton*> editorButtons;
    for (int i = 0; i < form.lists.size(); ++i) {
        const ListSpec& spec = form.lists[i];
        PickList* list = pickList(spec.name);
        m_lists.append(list);
        grid->addWidget(formLabel(spec.label, list), i, 0);
        grid->addWidget(list, i, 1);
        QPushButton* button =
            rightButton(spec.button, masterTableDef(spec.editor).addRight, spec.name + "Editor");
        editorButtons.append(button);
        connect(button, &QPushButton::clicked, this, [this, i] { openEditor(i); });
        grid->addWidget(button, i, 2);
        connect(list, &QComboBox::activated, this, [this] { guarded([this] { refreshHints(); }); });
    }
    const int dateRow = static_cast<int>(form.lists.size());
    grid->addWidget(formLabel(form.date, m_date), dateRow, 0);
    grid->addWidget(m_date, dateRow, 1, Qt::AlignLeft);

    m_price = numberBox(QStringLiteral("price"));
    m_num = numberBox(QStringLiteral("num"));
    m_total = numberBox(QStringLiteral("total"));
    m_pay = numberBox(QStringLiteral("pay"));
    m_owed = numberBox(QStringLiteral("owed"));
    m_priceHint = hintLabel(QStringLiteral("priceHint"));
    m_numHint = hintLabel(QStringLiteral("numHint"));
    int row = 0;
    for (auto [label, box, hint] : {std::tuple{form.price, m_price, m_priceHint},
                                    {form.num, m_num, m_numHint},
                                    {form.total, m_total, nullptr},
                                    {form.pay, m_pay, nullptr},
                                    {form.owed, m_owed, nullptr}}) {
        grid->addWidget(formLabel(label, box), row, 4);
        grid->addWidget(box, row, 5);
        if (hint)
            grid->addWidget(hint, row, 6);
        ++row;
    }
    grid->setColumnMinimumWidth(6, 190);
    showAsComputed(m_total);
    showAsComputed(m_owed);
    for (QLineEdit* typed : {m_price, m_num, m_pay})
        connect(typed, &QLineEdit::textChanged, this, [this] { updateFigures(); });
    connect(m_num, &QLineEdit::textChanged, this, [this] { checkQuantity(); });

    m_memo = textBox(QStringLiteral("memo"));
    const int memoRow = std::max(dateRow, row - 1) + 1;
    grid->addWidget(formLabel(form.memo, m_memo), memoRow, 0);
    grid->addWidget(m_memo, memoRow, 1, 1, 6);

    assemble(grid, form.history);
    addToButtonRow(m_idBox);
    // The box has no label of its own on this form.
    m_idBox->setPlaceholderText(QStringLiteral("记录号"));
    m_idBox->setToolTip(QStringLiteral("正在修改的记录号；空白时添加新记录"));

    // Tab order: what is typed for every record first, master editors last.
    QList<QWidget*> order;
    for (PickList* l : m_lists)
        order << l;
    order << m_price << m_num << m_pay << m_date << m_memo << m_saveButton << m_newButton
          << m_quitButton;
    for (QPushButton* b : editorButtons)
        order << b;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    fillLists();
    resize(1040, 660);
}

void TradeEntryWindow::fillLists() {
    for (int i = 0; i < m_lists.size(); ++i)
        fillList(i);
}

void TradeEntryWindow::fillList(int index) {
    const ListSpec& spec = m_form.lists[index];
    guarded([&] {
        fillCombo(m_lists[index], m_db, spec.table, QStringLiteral("Name"), spec.keyColumn);
    });
}

void TradeEntryWindow::openEditor(int index) {
    // The editor opens empty, for adding; the list keeps its choice when refilled.
    if (openMasterEditor(this, m_form.lists[index].editor, m_session, m_db, std::nullopt))
        markChanged();
    fillList(index);
    guarded([this] { refreshHints(); });
}

void TradeEntryWindow::clearBoxes() {
    for (QLineEdit* box : {m_price, m_num, m_total, m_pay, m_owed, m_memo})
        box->clear();
    for (PickList* list : m_lists)
        list->clearChoice();
    m_price->setToolTip(m_form.priceTip);
    m_num->setToolTip(m_form.numTip);
    m_limits = {};
    updateFigures();
}

void TradeEntryWindow::updateFigures() {
    const EntryHints::Amounts a = EntryHints::amounts(typed(m_price), typed(m_num), typed(m_pay));
    m_total->setText(a.totalText);
    m_owed->setText(a.owedText);
    QPalette p = m_owed->palette();
    p.setColor(QPalette::Text, a.owing ? QColor(Qt::red) : palette().color(QPalette::Text));
    m_owed->setPalette(p);
}

void TradeEntryWindow::refreshHints() {
    const int pid = m_lists[m_form.productList]->id();
    const int sid = m_lists[m_form.storageList]->id();
    const QString price = EntryHints::priceHint(m_db, pid);
    m_price->setToolTip(price.isEmpty() ? m_form.priceTip : price);
    m_priceHint->setText(price);
    m_limits = quantityHint(sid, pid, recordId());
    m_num->setToolTip(m_limits.text.isEmpty() ? m_form.numTip : m_limits.text);
    m_numHint->setText(m_limits.text);
    checkQuantity();
}

void TradeEntryWindow::checkQuantity() {
    // The stock moves by the quantity rounded, halves to even.
    const double num = double(roundHalfEven(typed(m_num)));
    const bool beyond =
        !m_num->text().trimmed().isEmpty() &&
        ((m_limits.most && num > *m_limits.most) || (m_limits.least && num < *m_limits.least));
    markBeyondLimit(m_num, m_numHint, beyond);
}

QWidget* TradeEntryWindow::firstBox() const {
    return m_lists.value(0);
}

QWidget* TradeEntryWindow::boxAtFault() const {
    // The checks refuse the first list left empty, in the order of the form.
    for (PickList* l : m_lists) {
        if (l->id() == 0)
            return l;
    }
    return m_num;
}

void TradeEntryWindow::chooseKey(int list, int key) {
    const ListSpec& spec = m_form.lists[list];
    const QString name = m_db.nameById(spec.table, key, spec.keyColumn, QStringLiteral("Name"));
    m_lists[list]->choose(key, itemText(name, key));
}

void TradeEntryWindow::showValues(double price, double num, double pay, const QDate& date,
                                  const QString& memo) {
    m_price->setText(toText(price));
    m_num->setText(toText(num));
    m_pay->setText(toText(pay));
    m_memo->setText(memo);
    if (date.isValid())
        m_date->setDate(date);
}

double TradeEntryWindow::typed(const QLineEdit* box) {
    return EntryHints::enteredNumber(box->text());
}

} // namespace tl
