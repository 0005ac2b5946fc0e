#pragma once

#include "core/accounts/Commands.h"
#include "core/lists/ListedTables.h"

#include <QList>
#include <QString>
#include <optional>

namespace tl {

// The command buttons of the main window: captions, pages and what each does.
// Nothing here touches a widget.

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

// A button's place as the tests and the screenshot tool name it: its bank
// and its number there ("CM50_21" is {Bank::Master, 21}).
struct CommandId {
    Bank bank;
    int index;
    bool operator==(const CommandId&) const = default;
};
Cmd commandAt(CommandId id);

// What the window shows of a command: its caption and where its button sits.
// The rights it needs are the core's (commandAllowed).
struct Command {
    Cmd id;
    QString caption;
    Action action;
    int tab;    // main tab
    int subTab; // inner tab of the statistics, chart and master tabs, else 0
};

// Every button in the order it appears on its row.
const QList<Command>& commands();
const Command* findCommand(Cmd id);
// "CM0_4", "CM50_21": object names of the buttons.
QString commandObjectName(Cmd id);

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

// The find button behind keyword box 0..6 (sales, purchases, transfers,
// products, accounts, customers, suppliers).
std::optional<Cmd> keywordFindCommand(int box);
// The keyword box on a tab, or -1.
int keywordBoxOf(int tab, int subTab);

// The modify button that a double-click in the grid stands for.
std::optional<Cmd> doubleClickCommand(int tab, int subTab);

// The table and key column whose records a tab lists (used for deleting).
struct TableKey {
    QString table;
    QString keyColumn;
};
std::optional<TableKey> tableOf(int tab, int subTab);

} // namespace tl
