#include "gui/transactions/TransferEntryWindow.h"

#include "core/accounts/Commands.h"
#include "core/data/Database.h"
#include "core/lists/RecordGrid.h"
#include "core/transactions/EntryHints.h"
#include "core/transactions/TransferStore.h"
#include "core/values/ItemText.h"
#include "core/values/Numbers.h"
#include "gui/transactions/PickList.h"
#include "gui/widgets/ComboFill.h"
#include "gui/widgets/Guard.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tl {
const QString TransferEntryWindow::caption = QStringLiteral("编辑仓库间调货记录");

TransferEntryWindow::TransferEntryWindow(Session& session, const Database& db, QWidget* parent)
    : EntryWindow(session, db, commandRight(Cmd::TransferAdd), commandRight(Cmd::TransferModify),
                  parent) {
    setWindowTitle(caption);
    m_out = pickList(QStringLiteral("outStorage"));
    m_in = pickList(QStringLiteral("inStorage"));
    m_product = pickList(QStringLiteral("product"));
    m_num = numberBox(QStringLiteral("num"));
    m_memo = textBox(QStringLiteral("memo"));
    m_numHint = hintLabel(QStringLiteral("numHint"));
    connect(m_num, &QLineEdit::textChanged, this, [this] { checkQuantity(); });

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(2, 24);
    grid->addWidget(formLabel(QStringLiteral("出货仓库："), m_out), 0, 0);
    grid->addWidget(m_out, 0, 1);
    grid->addWidget(formLabel(QStringLiteral("入库仓库："), m_in), 1, 0);
    grid->addWidget(m_in, 1, 1);
    grid->addWidget(formLabel(QStringLiteral("调库产品："), m_product), 2, 0);
    grid->addWidget(m_product, 2, 1);
    grid->addWidget(formLabel(QStringLiteral("调库数量："), m_num), 3, 0);
    auto* numRow = new QHBoxLayout;
    numRow->setSpacing(10);
    numRow->addWidget(m_num);
    numRow->addWidget(m_numHint, 1);
    grid->addLayout(numRow, 3, 1);
    grid->addWidget(formLabel(QStringLiteral("记录号："), m_idBox), 0, 3);
    grid->addWidget(m_idBox, 0, 4, Qt::AlignLeft);
    grid->addWidget(formLabel(QStringLiteral("日期："), m_date), 1, 3);
    grid->addWidget(m_date, 1, 4, Qt::AlignLeft);
    grid->addWidget(formLabel(QStringLiteral("备注信息："), m_memo), 4, 0);
    grid->addWidget(m_memo, 4, 1, 1, 4);
    assemble(grid, QStringLiteral("已有调库记录："));

    for (PickList* list : {m_out, m_in, m_product}) {
        connect(list, &QComboBox::activated, this, [this] { guarded([this] { refreshHints(); }); });
    }
    const QList<QWidget*> order{m_out,  m_in,         m_product,   m_num,       m_date,
                                m_memo, m_saveButton, m_newButton, m_quitButton};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    guarded([&] {
        fillCombo(m_out, db, QStringLiteral("Storage"), QStringLiteral("Name"),
                  QStringLiteral("SID"));
        fillCombo(m_in, db, QStringLiteral("Storage"), QStringLiteral("Name"),
                  QStringLiteral("SID"));
        fillCombo(m_product, db, QStringLiteral("Product"), QStringLiteral("Name"),
                  QStringLiteral("PID"));
    });
    resize(820, 560);
    start();
}

void TransferEntryWindow::loadRecord(qint64 id) {
    setListsEnabled(false);
    const std::optional<TransferInput> t = TransferStore::load(m_db, id);
    if (!t)
        return; // saving will report the missing record
    const auto name = [this](const char* table, const char* key, int id) {
        return itemText(m_db.nameById(QString::fromLatin1(table), id, QString::fromLatin1(key),
                                      QStringLiteral("Name")),
                        id);
    };
    m_out->choose(t->oid, name("Storage", "SID", t->oid));
    m_in->choose(t->iid, name("Storage", "SID", t->iid));
    m_product->choose(t->pid, name("Product", "PID", t->pid));
    m_num->setText(toText(t->num));
    m_memo->setText(t->memo);
    if (t->date.isValid())
        m_date->setDate(t->date);
}

void TransferEntryWindow::clearForm() {
    m_num->clear();
    m_memo->clear();
    for (PickList* list : {m_out, m_in, m_product})
        list->clearChoice();
    m_num->setToolTip(QString());
    m_numHint->clear();
    m_limit.reset();
    setListsEnabled(true);
}

void TransferEntryWindow::setListsEnabled(bool enabled) {
    for (PickList* list : {m_out, m_in, m_product})
        list->setEnabled(enabled);
}

void TransferEntryWindow::refreshHints() {
    const QString hint =
        TransferStore::quantityHint(m_db, m_out->id(), m_product->id(), recordId());
    m_num->setToolTip(hint);
    m_numHint->setText(hint);
    m_limit = TransferStore::quantityLimit(m_db, m_out->id(), m_product->id(), recordId());
    checkQuantity();
}

void TransferEntryWindow::checkQuantity() {
    // Transfers are stored and moved rounded, halves to even.
    const bool beyond = m_limit && !m_num->text().trimmed().isEmpty() &&
                        roundHalfEven(EntryHints::enteredNumber(m_num->text())) > *m_limit;
    markBeyondLimit(m_num, m_numHint, beyond);
}

QWidget* TransferEntryWindow::firstBox() const {
    // A stored transfer keeps its warehouses and product: only the quantity can change.
    return m_out->isEnabled() ? static_cast<QWidget*>(m_out) : m_num;
}

QWidget* TransferEntryWindow::boxAtFault() const {
    for (PickList* l : {m_out, m_in, m_product}) {
        if (l->id() == 0)
            return l;
    }
    if (roundHalfEven(EntryHints::enteredNumber(m_num->text())) == 0)
        return m_num;
    return m_in->id() == m_out->id() ? static_cast<QWidget*>(m_in) : m_num;
}

TransferInput TransferEntryWindow::input() const {
    TransferInput t;
    t.oid = m_out->id();
    t.iid = m_in->id();
    t.pid = m_product->id();
    t.num = EntryHints::enteredNumber(m_num->text());
    t.date = m_date->date();
    t.memo = m_memo->text();
    return t;
}

qint64 TransferEntryWindow::saveRecord(qint64 id) {
    return saveThrough<TransferStore>(id, input());
}

void TransferEntryWindow::loadHistory(Grid& grid) {
    loadTransferGrid(grid, m_db);
}

} // namespace tl
