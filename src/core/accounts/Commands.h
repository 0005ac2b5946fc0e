#pragma once

#include "core/lists/ListedTables.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tl {

struct Session;

// Every command of the main window's buttons. The value is the button's
// number: the trade, statistics and chart buttons count from 0 ("CM0_n"),
// the master-data buttons from masterCommandBase ("CM50_n").
enum class Cmd {
    SaleAdd = 0,
    SaleModify = 1,
    SaleDelete = 2,
    SaleFind = 4,
    PurchaseAdd = 5,
    PurchaseModify = 6,
    PurchaseDelete = 7,
    PurchaseFind = 9,
    StockQuantities = 10,
    StockValues = 11,
    CurrentStock = 12,
    SalesTotals = 13,
    PurchaseTotals = 14,
    Receivables = 15,
    Payables = 16,
    TransferAdd = 17,
    TransferModify = 18,
    TransferDelete = 19,
    TransferFind = 21,
    TransferImport = 22,
    QuantityChart = 23,
    AmountChart = 24,
    ProfitChart = 28,
    PurchaseImport = 29,
    SaleImport = 30,
    SaleSlip = 31,
    PurchaseSlip = 32,

    ProductAdd = 50,
    ProductModify = 51,
    ProductDelete = 52,
    ProductFind = 54,
    AccountAdd = 55,
    AccountModify = 56,
    AccountDelete = 57,
    AccountFind = 59,
    CustomerAdd = 60,
    CustomerModify = 61,
    CustomerDelete = 62,
    CustomerFind = 64,
    VenderAdd = 65,
    VenderModify = 66,
    VenderDelete = 67,
    VenderFind = 69,
    StaffAdd = 70,
    StaffModify = 71,
    StaffDelete = 72,
    StaffRights = 74,
    ClassAdd = 75,
    ClassModify = 76,
    ClassDelete = 77,
    ClassImport = 79,
    StorageAdd = 80,
    StorageModify = 81,
    StorageDelete = 82,
    StorageImport = 84,
    RegionAdd = 85,
    RegionModify = 86,
    RegionDelete = 87,
    RegionImport = 89,
    ProductImport = 90,
    AccountImport = 91,
    CustomerImport = 92,
    VenderImport = 93,
    StaffImport = 94,
};

inline constexpr int masterCommandBase = 50;

// Every command.
const QList<Cmd>& allCommands();

// The rights a command needs, all of them, in the order a refusal names the
// first one missing: the right to use the page or see the list first, the
// command's own right last.
QStringList commandRights(Cmd cmd);
// The command's own right: the last of commandRights.
QString commandRight(Cmd cmd);

// Whether the operator may give the command. key: the record a modify
// command would change; none for the main window's button, which changes the
// row chosen in the list shown.
bool commandAllowed(const Session& session, Cmd cmd, std::optional<qint64> key = std::nullopt);

// An operator without the right to see the operator list sees only his own
// row there and may still change it (his address, his password): the row
// key, or the row the list shows when no key is given.
bool mayChangeOwnRow(const Session& session, std::optional<qint64> key);

// The import command of a listed table.
Cmd importCommandOf(ListedTable table);

// The rights that open the statistics and the chart pages.
QString statisticsRight();
QString chartsRight();

} // namespace tl
