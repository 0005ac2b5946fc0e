#include "core/accounts/Commands.h"

#include "core/accounts/Session.h"
#include "core/masterdata/MasterTable.h"

namespace tl {

namespace {

// What a command needs besides its own right.
enum class Gate {
    None,
    List,       // the right to see the table's records (the button sits among them)
    Statistics, // the right to use the statistics pages
    Charts,     // the right to use the chart pages
    OwnRow,     // nothing more; without its own right he may still change his own row
};

// Where a command's own right is written: here, or for adding and changing
// master records in the master table's description, which the editors read.
enum class Own { Here, MasterAdd, MasterModify };

struct Entry {
    Cmd cmd;
    const char* right; // none: the gate is all it needs, or the master table's
    Gate gate;
    ListedTable table;
    Own own = Own::Here;
};

using L = ListedTable;

// The imports of the products, accounts, customers, suppliers and operators
// sit apart from the lists' buttons and need only their own right.
const Entry kEntries[] = {
    {Cmd::SaleAdd, "添加销售记录", Gate::None, L::Sales},
    {Cmd::SaleModify, "修改销售记录", Gate::None, L::Sales},
    {Cmd::SaleDelete, "删除销售记录", Gate::None, L::Sales},
    {Cmd::SaleFind, "查找销售记录", Gate::None, L::Sales},
    {Cmd::SaleImport, "导入销售记录", Gate::None, L::Sales},
    {Cmd::SaleSlip, nullptr, Gate::List, L::Sales}, // whoever may see the records
    {Cmd::PurchaseAdd, "添加采购记录", Gate::None, L::Purchases},
    {Cmd::PurchaseModify, "修改采购记录", Gate::None, L::Purchases},
    {Cmd::PurchaseDelete, "删除采购记录", Gate::None, L::Purchases},
    {Cmd::PurchaseFind, "查找采购记录", Gate::None, L::Purchases},
    {Cmd::PurchaseImport, "导入采购记录", Gate::None, L::Purchases},
    {Cmd::PurchaseSlip, nullptr, Gate::List, L::Purchases},
    {Cmd::TransferAdd, "添加调库记录", Gate::None, L::Transfers},
    {Cmd::TransferModify, "修改调库记录", Gate::None, L::Transfers},
    {Cmd::TransferDelete, "删除调库记录", Gate::None, L::Transfers},
    {Cmd::TransferFind, "查找调库记录", Gate::None, L::Transfers},
    {Cmd::TransferImport, "导入调库记录", Gate::None, L::Transfers},
    {Cmd::StockQuantities, "查看库存数量", Gate::Statistics, L::Sales},
    {Cmd::StockValues, "查看库存金额", Gate::Statistics, L::Sales},
    {Cmd::CurrentStock, "查看库存数量", Gate::Statistics, L::Sales},
    {Cmd::SalesTotals, "查看销售统计", Gate::Statistics, L::Sales},
    {Cmd::PurchaseTotals, "查看采购统计", Gate::Statistics, L::Purchases},
    {Cmd::Receivables, "查看应收款统计", Gate::Statistics, L::Sales},
    {Cmd::Payables, "查看应付款统计", Gate::Statistics, L::Purchases},
    {Cmd::QuantityChart, "查看数量分析", Gate::Charts, L::Sales},
    {Cmd::AmountChart, "查看金额分析", Gate::Charts, L::Sales},
    {Cmd::ProfitChart, "查看毛利分析", Gate::Charts, L::Sales},

    {Cmd::ProductAdd, nullptr, Gate::List, L::Products, Own::MasterAdd},
    {Cmd::ProductModify, nullptr, Gate::List, L::Products, Own::MasterModify},
    {Cmd::ProductDelete, "删除产品设置", Gate::List, L::Products},
    {Cmd::ProductFind, "查找产品设置", Gate::List, L::Products},
    {Cmd::ProductImport, "导入产品设置", Gate::None, L::Products},
    {Cmd::AccountAdd, nullptr, Gate::List, L::Accounts, Own::MasterAdd},
    {Cmd::AccountModify, nullptr, Gate::List, L::Accounts, Own::MasterModify},
    {Cmd::AccountDelete, "删除账号设置", Gate::List, L::Accounts},
    {Cmd::AccountFind, "查找账号设置", Gate::List, L::Accounts},
    {Cmd::AccountImport, "导入账号设置", Gate::None, L::Accounts},
    {Cmd::CustomerAdd, nullptr, Gate::List, L::Customers, Own::MasterAdd},
    {Cmd::CustomerModify, nullptr, Gate::List, L::Customers, Own::MasterModify},
    {Cmd::CustomerDelete, "删除客户设置", Gate::List, L::Customers},
    {Cmd::CustomerFind, "查找客户设置", Gate::List, L::Customers},
    {Cmd::CustomerImport, "导入客户设置", Gate::None, L::Customers},
    {Cmd::VenderAdd, nullptr, Gate::List, L::Suppliers, Own::MasterAdd},
    {Cmd::VenderModify, nullptr, Gate::List, L::Suppliers, Own::MasterModify},
    {Cmd::VenderDelete, "删除供应商设置", Gate::List, L::Suppliers},
    {Cmd::VenderFind, "查找供应商设置", Gate::List, L::Suppliers},
    {Cmd::VenderImport, "导入供应商设置", Gate::None, L::Suppliers},
    // The operator list is always shown (his own row at least).
    {Cmd::StaffAdd, nullptr, Gate::None, L::Staff, Own::MasterAdd},
    {Cmd::StaffModify, nullptr, Gate::OwnRow, L::Staff, Own::MasterModify},
    {Cmd::StaffDelete, "删除操作人员", Gate::None, L::Staff},
    {Cmd::StaffRights, "修改人员权限", Gate::None, L::Staff},
    {Cmd::StaffImport, "导入人员列表", Gate::None, L::Staff},
    {Cmd::ClassAdd, nullptr, Gate::List, L::Classes, Own::MasterAdd},
    {Cmd::ClassModify, nullptr, Gate::List, L::Classes, Own::MasterModify},
    {Cmd::ClassDelete, "删除产品类别", Gate::List, L::Classes},
    {Cmd::ClassImport, "导入产品类别", Gate::List, L::Classes},
    {Cmd::StorageAdd, nullptr, Gate::List, L::Warehouses, Own::MasterAdd},
    {Cmd::StorageModify, nullptr, Gate::List, L::Warehouses, Own::MasterModify},
    {Cmd::StorageDelete, "删除仓库", Gate::List, L::Warehouses},
    {Cmd::StorageImport, "导入仓库列表", Gate::List, L::Warehouses},
    {Cmd::RegionAdd, nullptr, Gate::List, L::Regions, Own::MasterAdd},
    {Cmd::RegionModify, nullptr, Gate::List, L::Regions, Own::MasterModify},
    {Cmd::RegionDelete, "删除地区", Gate::List, L::Regions},
    {Cmd::RegionImport, "导入地区列表", Gate::List, L::Regions},
};

const Entry& entryOf(Cmd cmd) {
    for (const Entry& e : kEntries)
        if (e.cmd == cmd)
            return e;
    Q_UNREACHABLE(); // every command has its entry
}

} // namespace

const QList<Cmd>& allCommands() {
    static const QList<Cmd> list = [] {
        QList<Cmd> all;
        for (const Entry& e : kEntries)
            all << e.cmd;
        return all;
    }();
    return list;
}

QStringList commandRights(Cmd cmd) {
    const Entry& e = entryOf(cmd);
    QStringList needed;
    switch (e.gate) {
    case Gate::List:
        needed << listedTableViewRight(e.table);
        break;
    case Gate::Statistics:
        needed << statisticsRight();
        break;
    case Gate::Charts:
        needed << chartsRight();
        break;
    case Gate::None:
    case Gate::OwnRow:
        break;
    }
    if (e.own == Own::MasterAdd)
        needed << masterTableDef(masterTableOf(e.table)).addRight;
    else if (e.own == Own::MasterModify)
        needed << masterTableDef(masterTableOf(e.table)).modifyRight;
    else if (e.right)
        needed << QString::fromUtf8(e.right);
    return needed;
}

QString commandRight(Cmd cmd) {
    return commandRights(cmd).constLast();
}

bool mayChangeOwnRow(const Session& session, std::optional<qint64> key) {
    if (session.hasRight(masterTableDef(MasterTable::Staff).viewRight))
        return false;
    return !key || (*key > 0 && QString::number(*key) == session.operatorId.trimmed());
}

bool commandAllowed(const Session& session, Cmd cmd, std::optional<qint64> key) {
    bool all = true;
    for (const QString& right : commandRights(cmd))
        all = all && session.hasRight(right);
    return all || (entryOf(cmd).gate == Gate::OwnRow && mayChangeOwnRow(session, key));
}

Cmd importCommandOf(ListedTable table) {
    static const Cmd imports[listedTableCount] = {
        Cmd::SaleImport,    Cmd::PurchaseImport, Cmd::TransferImport, Cmd::ProductImport,
        Cmd::AccountImport, Cmd::CustomerImport, Cmd::VenderImport,   Cmd::StaffImport,
        Cmd::ClassImport,   Cmd::StorageImport,  Cmd::RegionImport};
    return imports[static_cast<int>(table)];
}

QString statisticsRight() {
    return QStringLiteral("操作盘点统计");
}

QString chartsRight() {
    return QStringLiteral("操作图表分析");
}

} // namespace tl
