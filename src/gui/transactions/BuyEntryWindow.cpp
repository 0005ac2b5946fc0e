#include "gui/transactions/BuyEntryWindow.h"

#include "core/accounts/Commands.h"
#include "core/lists/RecordGrid.h"
#include "core/transactions/BuyStore.h"
#include "gui/transactions/PickList.h"

#include <QDateEdit>
#include <QLineEdit>

namespace tl {
namespace {

enum List { Product, Supplier, Account, Storage };

TradeEntryWindow::Form buyForm() {
    TradeEntryWindow::Form f;
    f.caption = BuyEntryWindow::caption;
    f.lists = {
        {"产品名称：", "product", "Product", "PID", "添加产品", MasterTable::Product},
        {"供 应 商：", "supplier", "Vender", "VID", "添加供应商", MasterTable::Vender},
        {"付款账号：", "account", "Account", "AID", "添加账号", MasterTable::Account},
        {"存入仓库：", "storage", "Storage", "SID", "添加仓库", MasterTable::Storage},
    };
    f.price = "进货单价：";
    f.num = "进货数量：";
    f.total = "进货总额：";
    f.pay = "已付金额：";
    f.owed = "欠款金额：";
    f.memo = "备注信息：";
    f.date = "进货日期：";
    // The purchase form shares the history caption of the sale form.
    f.history = "历史销售记录：";
    f.addRight = commandRight(Cmd::PurchaseAdd);
    f.modifyRight = commandRight(Cmd::PurchaseModify);
    f.productList = Product;
    f.storageList = Storage;
    return f;
}

} // namespace

const QString BuyEntryWindow::caption = QStringLiteral("编辑采购记录");

BuyEntryWindow::BuyEntryWindow(Session& session, const Database& db, QWidget* parent)
    : TradeEntryWindow(session, db, buyForm(), parent) {
    start();
}

void BuyEntryWindow::loadRecord(qint64 id) {
    const std::optional<BuyInput> b = BuyStore::load(m_db, id);
    if (!b)
        return; // saving will report the missing record
    chooseKey(Product, b->pid);
    chooseKey(Supplier, b->vid);
    chooseKey(Account, b->aid);
    chooseKey(Storage, b->sid);
    showValues(b->price, b->num, b->pay, b->date, b->memo);
}

void BuyEntryWindow::clearForm() {
    clearBoxes();
}

BuyInput BuyEntryWindow::input() const {
    BuyInput b;
    b.pid = list(Product)->id();
    b.vid = list(Supplier)->id();
    b.aid = list(Account)->id();
    b.sid = list(Storage)->id();
    b.price = typed(m_price);
    b.num = typed(m_num);
    b.pay = typed(m_pay);
    b.date = m_date->date();
    b.memo = m_memo->text();
    return b;
}

qint64 BuyEntryWindow::saveRecord(qint64 id) {
    return saveThrough<BuyStore>(id, input());
}

void BuyEntryWindow::loadHistory(Grid& grid) {
    loadPurchaseGrid(grid, m_db);
}

TradeEntryWindow::QuantityHint BuyEntryWindow::quantityHint(int sid, int pid, qint64 id) const {
    QuantityHint hint;
    hint.text = BuyStore::quantityHint(m_db, sid, pid, id);
    if (const std::optional<qint64> least = BuyStore::quantityFloor(m_db, sid, pid, id))
        hint.least = double(*least);
    return hint;
}

} // namespace tl
