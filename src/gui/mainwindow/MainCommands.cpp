#include "gui/mainwindow/MainCommands.h"

#include "core/accounts/Rights.h"

namespace tl {

namespace {

Command trade(int index, const char* caption, const char* right, Action action, int tab,
              int subTab = 0, bool later = false) {
    return {{Bank::Trade, index},
            QString::fromUtf8(caption),
            QString::fromUtf8(right),
            action,
            tab,
            subTab,
            later};
}

Command master(int index, const char* caption, const char* right, Action action, int subTab,
               bool later = false) {
    return {{Bank::Master, index},
            QString::fromUtf8(caption),
            QString::fromUtf8(right),
            action,
            SettingsTab,
            subTab,
            later};
}

QList<Command> buildCommands() {
    QList<Command> list;
    // Sales, purchases and transfers: add, modify, delete, find, import; the
    // slips of sales and purchases, for whoever may see the records.
    list << trade(0, "添加", "添加销售记录", Action::Add, SalesTab)
         << trade(1, "修改", "修改销售记录", Action::Modify, SalesTab)
         << trade(2, "删除", "删除销售记录", Action::Delete, SalesTab)
         << trade(4, "查找", "查找销售记录", Action::Find, SalesTab)
         << trade(30, "导入", "导入销售记录", Action::Import, SalesTab)
         << trade(31, "打印销售单", "操作销售记录", Action::Slip, SalesTab);
    list << trade(5, "添加", "添加采购记录", Action::Add, PurchasesTab)
         << trade(6, "修改", "修改采购记录", Action::Modify, PurchasesTab)
         << trade(7, "删除", "删除采购记录", Action::Delete, PurchasesTab)
         << trade(9, "查找", "查找采购记录", Action::Find, PurchasesTab)
         << trade(29, "导入", "导入采购记录", Action::Import, PurchasesTab)
         << trade(32, "打印采购单", "操作采购记录", Action::Slip, PurchasesTab);
    list << trade(17, "添 加", "添加调库记录", Action::Add, TransfersTab)
         << trade(18, "修 改", "修改调库记录", Action::Modify, TransfersTab)
         << trade(19, "删 除", "删除调库记录", Action::Delete, TransfersTab)
         << trade(21, "查 找", "查找调库记录", Action::Find, TransfersTab)
         << trade(22, "导入", "导入调库记录", Action::Import, TransfersTab);
    // Statistics: one inner tab per report family.
    list << trade(10, "查看库存数量", "查看库存数量", Action::Report, StatisticsTab, 0)
         << trade(11, "查看库存金额", "查看库存金额", Action::Report, StatisticsTab, 0)
         << trade(12, "当前库存量", "查看库存数量", Action::Report, StatisticsTab, 0)
         << trade(13, "查看销售情况", "查看销售统计", Action::Report, StatisticsTab, 1)
         << trade(14, "查看采购情况", "查看采购统计", Action::Report, StatisticsTab, 2)
         << trade(15, "查看应收情况", "查看应收款统计", Action::Report, StatisticsTab, 3)
         << trade(16, "查看应付情况", "查看应付款统计", Action::Report, StatisticsTab, 4);
    // Charts.
    list << trade(23, "数量 分析", "查看数量分析", Action::Chart, ChartsTab, 0)
         << trade(24, "金额 分析", "查看金额分析", Action::Chart, ChartsTab, 0)
         << trade(28, "毛利 分析", "查看毛利分析", Action::Chart, ChartsTab, 1);

    // Master tables: blocks of five indexes per table, imports 40..44 after them.
    struct Block {
        const char* add;
        const char* modify;
        const char* remove;
        const char* fourth;
        Action fourthAction;
        const char* import;
        int importIndex;
    };
    const Block blocks[] = {
        {"添加产品设置", "修改产品设置", "删除产品设置", "查找产品设置", Action::Find,
         "导入产品设置", 40},
        {"添加账号设置", "修改账号设置", "删除账号设置", "查找账号设置", Action::Find,
         "导入账号设置", 41},
        {"添加客户设置", "修改客户设置", "删除客户设置", "查找客户设置", Action::Find,
         "导入客户设置", 42},
        {"添加供应商设置", "修改供应商设置", "删除供应商设置", "查找供应商设置", Action::Find,
         "导入供应商设置", 43},
        {"添加操作人员", "修改人员设置", "删除操作人员", "修改人员权限", Action::Rights,
         "导入人员列表", 44},
        {"添加产品类别", "修改产品类别", "删除产品类别", "导入产品类别", Action::Import, nullptr,
         0},
        {"添加仓库", "修改仓库信息", "删除仓库", "导入仓库列表", Action::Import, nullptr, 0},
        {"添加地区", "修改地区记录", "删除地区", "导入地区列表", Action::Import, nullptr, 0},
    };
    for (int m = 0; m < 8; ++m) {
        const Block& b = blocks[m];
        const int base = m * 5;
        list << master(base, "添加", b.add, Action::Add, m)
             << master(base + 1, "修改", b.modify, Action::Modify, m)
             << master(base + 2, "删除", b.remove, Action::Delete, m);
        switch (b.fourthAction) {
        case Action::Find:
            list << master(base + 4, "查找", b.fourth, Action::Find, m);
            break;
        case Action::Rights:
            list << master(base + 4, "修改权限", b.fourth, Action::Rights, m);
            break;
        default:
            list << master(base + 4, "导入", b.fourth, Action::Import, m);
            break;
        }
        if (b.import)
            list << master(b.importIndex, "导入", b.import, Action::Import, m);
    }
    return list;
}

} // namespace

const QList<Command>& commands() {
    static const QList<Command> list = buildCommands();
    return list;
}

const Command* findCommand(CommandId id) {
    for (const Command& c : commands())
        if (c.id == id)
            return &c;
    return nullptr;
}

QString commandObjectName(CommandId id) {
    return (id.bank == Bank::Trade ? QStringLiteral("CM0_") : QStringLiteral("CM50_")) +
           QString::number(id.index);
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

bool commandAllowed(const Command& command, const QString& rights) {
    const bool own = command.right.isEmpty() || Rights::test(rights, command.right);
    if (command.id.bank != Bank::Master || command.id.index >= 40)
        return own;
    const int table = command.id.index / 5;
    if (table == StaffPage) {
        // Without the staff list the operator sees only his own row and may edit it.
        if (command.id.index == 21 && !Rights::test(rights, QStringLiteral("查看人员设置")))
            return true;
        return own;
    }
    return own && Rights::test(rights, masterViewRight(table));
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

std::optional<CommandId> keywordFindCommand(int box) {
    static const CommandId finds[] = {{Bank::Trade, 4},  {Bank::Trade, 9},  {Bank::Trade, 21},
                                      {Bank::Master, 4}, {Bank::Master, 9}, {Bank::Master, 14},
                                      {Bank::Master, 19}};
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

std::optional<CommandId> doubleClickCommand(int tab, int subTab) {
    switch (tab) {
    case SalesTab:
        return CommandId{Bank::Trade, 1};
    case PurchasesTab:
        return CommandId{Bank::Trade, 6};
    case TransfersTab:
        return CommandId{Bank::Trade, 18};
    case SettingsTab:
        if (subTab >= 0 && subTab < 8)
            return CommandId{Bank::Master, subTab * 5 + 1};
        return std::nullopt;
    default:
        return std::nullopt;
    }
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
