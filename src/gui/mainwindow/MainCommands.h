#pragma once

#include "core/lists/ListedTables.h"

#include <QList>
#include <QString>
#include <optional>

namespace tl {

// The command buttons of the main window and the rules that decide which of
// them an operator may press. Nothing here touches a widget, so the rules are
// tested on their own.

// The two button banks: the trade, statistics and chart tabs, and the
// master-data tab.
enum class Bank { Trade, Master };

enum class Action { Add, Modify, Delete, Find, Import, Report, Chart, Rights, Slip };

// The six main tabs and the eight master tabs, in strip order.
enum MainTab { SalesTab, PurchasesTab, TransfersTab, StatisticsTab, ChartsTab, SettingsTab };
enum MasterTab {
    ProductsPage,
    AccountsPage,
    CustomersPage,
    VendersPage,
    StaffPage,
    ClassesPage,
    StoragesPage,
    RegionsPage
};

struct CommandId {
    Bank bank;
    int index;
    bool operator==(const CommandId&) const = default;
};

struct Command {
    CommandId id;
    QString caption;
    QString right; // the right the button needs; empty: none
    Action action;
    int tab;    // main tab
    int subTab; // inner tab of the statistics, chart and master tabs, else 0
    bool later; // its feature is not built yet: the button stays hidden
};

// Every button in the order it appears on its row.
const QList<Command>& commands();
const Command* findCommand(CommandId id);
// "CM0_4", "CM50_21": object names of the buttons.
QString commandObjectName(CommandId id);

// Whether the operator holding these rights may press the button. Besides the
// button's own right, a master table's buttons need the right to view that
// table; the operator's own record stays editable without the right to view
// the staff list, so he can change his address or password.
bool commandAllowed(const Command& command, const QString& rights);
// Whether the button changes the account set (add, modify, delete, import,
// rights, and a slip, which takes a number): such buttons are greyed out
// when the account set is read-only.
bool commandWrites(const Command& command);

// The table a trade tab or a master page lists; nothing for the statistics
// and chart tabs.
std::optional<ListedTable> listedTableOfTab(int tab, int subTab);

// The right that shows the records of a trade tab, and of a master tab (empty
// for the staff list, which is always shown).
QString tradeViewRight(int tab);
QString masterViewRight(int subTab);
inline const QString statisticsRight() {
    return QStringLiteral("操作盘点统计");
}
inline const QString chartsRight() {
    return QStringLiteral("操作图表分析");
}

// The find button behind keyword box 0..6 (sales, purchases, transfers,
// products, accounts, customers, suppliers).
std::optional<CommandId> keywordFindCommand(int box);
// The keyword box on a tab, or -1.
int keywordBoxOf(int tab, int subTab);

// The modify button that a double-click in the grid stands for.
std::optional<CommandId> doubleClickCommand(int tab, int subTab);

// The table and key column whose records a tab lists (used for deleting).
struct TableKey {
    QString table;
    QString keyColumn;
};
std::optional<TableKey> tableOf(int tab, int subTab);

} // namespace tl
