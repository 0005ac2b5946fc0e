#include "gui/mainwindow/MainCommands.h"

namespace tl {

namespace {

struct Row {
    Cmd id;
    const char* caption;
    Action action;
    int tab;
    int subTab;
};

const Row kRows[] = {
    // Sales, purchases and transfers: add, modify, delete, find, import; the
    // slips of sales and purchases, for whoever may see the records.
    {Cmd::SaleAdd, "添加", Action::Add, SalesTab, 0},
    {Cmd::SaleModify, "修改", Action::Modify, SalesTab, 0},
    {Cmd::SaleDelete, "删除", Action::Delete, SalesTab, 0},
    {Cmd::SaleFind, "查找", Action::Find, SalesTab, 0},
    {Cmd::SaleImport, "导入", Action::Import, SalesTab, 0},
    {Cmd::SaleSlip, "打印销售单", Action::Slip, SalesTab, 0},
    {Cmd::PurchaseAdd, "添加", Action::Add, PurchasesTab, 0},
    {Cmd::PurchaseModify, "修改", Action::Modify, PurchasesTab, 0},
    {Cmd::PurchaseDelete, "删除", Action::Delete, PurchasesTab, 0},
    {Cmd::PurchaseFind, "查找", Action::Find, PurchasesTab, 0},
    {Cmd::PurchaseImport, "导入", Action::Import, PurchasesTab, 0},
    {Cmd::PurchaseSlip, "打印采购单", Action::Slip, PurchasesTab, 0},
    {Cmd::TransferAdd, "添 加", Action::Add, TransfersTab, 0},
    {Cmd::TransferModify, "修 改", Action::Modify, TransfersTab, 0},
    {Cmd::TransferDelete, "删 除", Action::Delete, TransfersTab, 0},
    {Cmd::TransferFind, "查 找", Action::Find, TransfersTab, 0},
    {Cmd::TransferImport, "导入", Action::Import, TransfersTab, 0},
    // Statistics: one inner tab per report family.
    {Cmd::StockQuantities, "查看库存数量", Action::Report, StatisticsTab, 0},
    {Cmd::StockValues, "查看库存金额", Action::Report, StatisticsTab, 0},
    {Cmd::CurrentStock, "当前库存量", Action::Report, StatisticsTab, 0},
    {Cmd::SalesTotals, "查看销售情况", Action::Report, StatisticsTab, 1},
    {Cmd::PurchaseTotals, "查看采购情况", Action::Report, StatisticsTab, 2},
    {Cmd::Receivables, "查看应收情况", Action::Report, StatisticsTab, 3},
    {Cmd::Payables, "查看应付情况", Action::Report, StatisticsTab, 4},
    // Charts.
    {Cmd::QuantityChart, "数量 分析", Action::Chart, ChartsTab, 0},
    {Cmd::AmountChart, "金额 分析", Action::Chart, ChartsTab, 0},
    {Cmd::ProfitChart, "毛利 分析", Action::Chart, ChartsTab, 1},
    // Master tables: the list's buttons, then the import where it sits apart.
    {Cmd::ProductAdd, "添加", Action::Add, SettingsTab, ProductsPage},
    {Cmd::ProductModify, "修改", Action::Modify, SettingsTab, ProductsPage},
    {Cmd::ProductDelete, "删除", Action::Delete, SettingsTab, ProductsPage},
    {Cmd::ProductFind, "查找", Action::Find, SettingsTab, ProductsPage},
    {Cmd::ProductImport, "导入", Action::Import, SettingsTab, ProductsPage},
    {Cmd::AccountAdd, "添加", Action::Add, SettingsTab, AccountsPage},
    {Cmd::AccountModify, "修改", Action::Modify, SettingsTab, AccountsPage},
    {Cmd::AccountDelete, "删除", Action::Delete, SettingsTab, AccountsPage},
    {Cmd::AccountFind, "查找", Action::Find, SettingsTab, AccountsPage},
    {Cmd::AccountImport, "导入", Action::Import, SettingsTab, AccountsPage},
    {Cmd::CustomerAdd, "添加", Action::Add, SettingsTab, CustomersPage},
    {Cmd::CustomerModify, "修改", Action::Modify, SettingsTab, CustomersPage},
    {Cmd::CustomerDelete, "删除", Action::Delete, SettingsTab, CustomersPage},
    {Cmd::CustomerFind, "查找", Action::Find, SettingsTab, CustomersPage},
    {Cmd::CustomerImport, "导入", Action::Import, SettingsTab, CustomersPage},
    {Cmd::VenderAdd, "添加", Action::Add, SettingsTab, VendersPage},
    {Cmd::VenderModify, "修改", Action::Modify, SettingsTab, VendersPage},
    {Cmd::VenderDelete, "删除", Action::Delete, SettingsTab, VendersPage},
    {Cmd::VenderFind, "查找", Action::Find, SettingsTab, VendersPage},
    {Cmd::VenderImport, "导入", Action::Import, SettingsTab, VendersPage},
    {Cmd::StaffAdd, "添加", Action::Add, SettingsTab, StaffPage},
    {Cmd::StaffModify, "修改", Action::Modify, SettingsTab, StaffPage},
    {Cmd::StaffDelete, "删除", Action::Delete, SettingsTab, StaffPage},
    {Cmd::StaffRights, "修改权限", Action::Rights, SettingsTab, StaffPage},
    {Cmd::StaffImport, "导入", Action::Import, SettingsTab, StaffPage},
    {Cmd::ClassAdd, "添加", Action::Add, SettingsTab, ClassesPage},
    {Cmd::ClassModify, "修改", Action::Modify, SettingsTab, ClassesPage},
    {Cmd::ClassDelete, "删除", Action::Delete, SettingsTab, ClassesPage},
    {Cmd::ClassImport, "导入", Action::Import, SettingsTab, ClassesPage},
    {Cmd::StorageAdd, "添加", Action::Add, SettingsTab, StoragesPage},
    {Cmd::StorageModify, "修改", Action::Modify, SettingsTab, StoragesPage},
    {Cmd::StorageDelete, "删除", Action::Delete, SettingsTab, StoragesPage},
    {Cmd::StorageImport, "导入", Action::Import, SettingsTab, StoragesPage},
    {Cmd::RegionAdd, "添加", Action::Add, SettingsTab, RegionsPage},
    {Cmd::RegionModify, "修改", Action::Modify, SettingsTab, RegionsPage},
    {Cmd::RegionDelete, "删除", Action::Delete, SettingsTab, RegionsPage},
    {Cmd::RegionImport, "导入", Action::Import, SettingsTab, RegionsPage},
};

} // namespace

Cmd commandAt(CommandId id) {
    return static_cast<Cmd>((id.bank == Bank::Master ? masterCommandBase : 0) + id.index);
}

const QList<Command>& commands() {
    static const QList<Command> list = [] {
        QList<Command> all;
        for (const Row& r : kRows)
            all << Command{r.id, QString::fromUtf8(r.caption), r.action, r.tab, r.subTab};
        return all;
    }();
    return list;
}

const Command* findCommand(Cmd id) {
    for (const Command& c : commands())
        if (c.id == id)
            return &c;
    return nullptr;
}

QString commandObjectName(Cmd id) {
    const int number = static_cast<int>(id);
    return number >= masterCommandBase
               ? QStringLiteral("CM50_") + QString::number(number - masterCommandBase)
               : QStringLiteral("CM0_") + QString::number(number);
}

bool commandWrites(const Command& command) {
    switch (command.action) {
    case Action::Add:
    case Action::Modify:
    case Action::Delete:
    case Action::Import:
    case Action::Rights:
    case Action::Slip:
        return true;
    case Action::Find:
    case Action::Report:
    case Action::Chart:
        return false;
    }
    return false;
}

std::optional<ListedTable> listedTableOfTab(int tab, int subTab) {
    // The trade tabs and the master pages follow the listed tables' order.
    if (tab >= SalesTab && tab <= TransfersTab)
        return static_cast<ListedTable>(tab);
    if (tab == SettingsTab && subTab >= ProductsPage && subTab <= RegionsPage)
        return static_cast<ListedTable>(static_cast<int>(ListedTable::Products) + subTab);
    return std::nullopt;
}

QString tradeViewRight(int tab) {
    if (tab < SalesTab || tab > TransfersTab)
        return {};
    return listedTableViewRight(*listedTableOfTab(tab, 0));
}

QString masterViewRight(int subTab) {
    const auto table = listedTableOfTab(SettingsTab, subTab);
    return table ? listedTableViewRight(*table) : QString();
}

std::optional<Cmd> keywordFindCommand(int box) {
    static const Cmd finds[] = {Cmd::SaleFind,    Cmd::PurchaseFind, Cmd::TransferFind,
                                Cmd::ProductFind, Cmd::AccountFind,  Cmd::CustomerFind,
                                Cmd::VenderFind};
    if (box < 0 || box >= 7)
        return std::nullopt;
    return finds[box];
}

int keywordBoxOf(int tab, int subTab) {
    if (tab >= SalesTab && tab <= TransfersTab)
        return tab;
    if (tab == SettingsTab && subTab >= ProductsPage && subTab <= VendersPage)
        return 3 + subTab;
    return -1;
}

std::optional<Cmd> doubleClickCommand(int tab, int subTab) {
    for (const Command& c : commands())
        if (c.action == Action::Modify && c.tab == tab && c.subTab == subTab)
            return c.id;
    return std::nullopt;
}

std::optional<TableKey> tableOf(int tab, int subTab) {
    switch (tab) {
    case SalesTab:
        return TableKey{QStringLiteral("Sale"), QStringLiteral("ID")};
    case PurchasesTab:
        return TableKey{QStringLiteral("Buy"), QStringLiteral("ID")};
    case TransfersTab:
        return TableKey{QStringLiteral("Adjust"), QStringLiteral("ID")};
    case SettingsTab: {
        static const char* const tables[][2] = {
            {"Product", "PID"}, {"Account", "AID"}, {"Customer", "CID"}, {"Vender", "VID"},
            {"Staff", "UID"},   {"Class", "CID"},   {"Storage", "SID"},  {"Region", "RID"}};
        if (subTab < 0 || subTab >= 8)
            return std::nullopt;
        return TableKey{QString::fromLatin1(tables[subTab][0]),
                        QString::fromLatin1(tables[subTab][1])};
    }
    default:
        return std::nullopt;
    }
}

} // namespace tl
