#include "gui/transactions/SaleEntryWindow.h"

#include "core/accounts/Commands.h"
#include "core/accounts/Session.h"
#include "core/lists/RecordGrid.h"
#include "core/transactions/SaleStore.h"
#include "core/values/ItemText.h"
#include "gui/transactions/PickList.h"

#include <QDateEdit>
#include <QLineEdit>

namespace tl {
namespace {

enum List { Product, Customer, Account, Storage, Salesperson };

TradeEntryWindow::Form saleForm() {
    TradeEntryWindow::Form f;
    f.caption = SaleEntryWindow::caption;
    f.lists = {
        {"产品名称：", "product", "Product", "PID", "添加产品", MasterTable::Product},
        {"客户名称：", "customer", "Customer", "CID", "添加客户", MasterTable::Customer},
        {"收款账号：", "account", "Account", "AID", "添加账号", MasterTable::Account},
        {"所在仓库：", "storage", "Storage", "SID", "添加仓库", MasterTable::Storage},
        {"销售人员：", "salesperson", "Staff", "UID", "添加人员", MasterTable::Staff},
    };
    f.price = "销售单价：";
    f.num = "销售数量：";
    f.total = "销售总额：";
    f.pay = "已收金额：";
    f.owed = "欠款金额：";
    f.memo = "备注信息：";
    f.date = "销售日期：";
    f.priceTip = "本产品销售参考价为：";
    f.numTip = "此仓库当前库存数为：0";
    f.history = "历史销售记录：";
    f.addRight = commandRight(Cmd::SaleAdd);
    f.modifyRight = commandRight(Cmd::SaleModify);
    f.productList = Product;
    f.storageList = Storage;
    return f;
}

} // namespace

const QString SaleEntryWindow::caption = QStringLiteral("编辑销售记录");

SaleEntryWindow::SaleEntryWindow(Session& session, const Database& db, QWidget* parent)
    : TradeEntryWindow(session, db, saleForm(), parent) {
    start();
}

void SaleEntryWindow::loadRecord(qint64 id) {
    const std::optional<SaleInput> s = SaleStore::load(m_db, id);
    if (!s)
        return; // saving will report the missing record
    chooseKey(Product, s->pid);
    chooseKey(Customer, s->cid);
    chooseKey(Account, s->aid);
    chooseKey(Storage, s->sid);
    chooseKey(Salesperson, s->uid);
    showValues(s->price, s->num, s->pay, s->date, s->memo);
}

void SaleEntryWindow::clearForm() {
    clearBoxes();
    // A new sale is the logged-in operator's by default.
    const int self = m_session.operatorId.toInt();
    if (self != 0)
        list(Salesperson)->choose(self, itemText(m_session.operatorName, self));
}

SaleInput SaleEntryWindow::input() const {
    SaleInput s;
    s.pid = list(Product)->id();
    s.cid = list(Customer)->id();
    s.aid = list(Account)->id();
    s.sid = list(Storage)->id();
    s.uid = list(Salesperson)->id();
    s.price = typed(m_price);
    s.num = typed(m_num);
    s.pay = typed(m_pay);
    s.date = m_date->date();
    s.memo = m_memo->text();
    return s;
}

qint64 SaleEntryWindow::saveRecord(qint64 id) {
    return saveThrough<SaleStore>(id, input());
}

void SaleEntryWindow::loadHistory(Grid& grid) {
    loadSaleGrid(grid, m_db);
}

TradeEntryWindow::QuantityHint SaleEntryWindow::quantityHint(int sid, int pid, qint64 id) const {
    QuantityHint hint;
    hint.text = SaleStore::quantityHint(m_db, sid, pid, id);
    if (const std::optional<qint64> most = SaleStore::quantityLimit(m_db, sid, pid, id))
        hint.most = double(*most);
    return hint;
}

} // namespace tl
