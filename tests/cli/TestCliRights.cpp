#include "cli/Command.h"

#include <QTest>

using namespace tl;

// Each command of the tool does the work of one main-window button and so
// needs that button's rights (which the core's command table holds).
class TestCliRights : public QObject {
    Q_OBJECT
private slots:
    void commandsDoTheirButtonsWork();
};

void TestCliRights::commandsDoTheirButtonsWork() {
    const QStringList period{"--from=2024-01-01", "--to=2024-12-31"};
    const QList<std::pair<QStringList, Cmd>> cases = {
        {{"report", "stock"}, Cmd::CurrentStock},
        {{"report", "stock-change"}, Cmd::StockQuantities},
        {{"report", "stock-change", "--values"}, Cmd::StockValues},
        {{"report", "sales"}, Cmd::SalesTotals},
        {{"report", "purchases"}, Cmd::PurchaseTotals},
        {{"report", "receivables"}, Cmd::Receivables},
        {{"report", "payables"}, Cmd::Payables},
        {{"rebuild"}, Cmd::CurrentStock},
        {{"verify"}, Cmd::CurrentStock},
        {{"chart", "trend", "--out=a.png"}, Cmd::QuantityChart},
        {{"chart", "trend", "--amount", "--out=a.png"}, Cmd::AmountChart},
        {{"chart", "profit", "--out=a.png"}, Cmd::ProfitChart},
        {{"slip", "sales", "--ids=1", "--out=a.pdf"}, Cmd::SaleSlip},
        {{"slip", "purchases", "--ids=1", "--out=a.pdf"}, Cmd::PurchaseSlip},
        {{"import", "sales", "a.csv"}, Cmd::SaleImport},
        {{"import", "purchases", "a.csv"}, Cmd::PurchaseImport},
        {{"import", "transfers", "a.csv"}, Cmd::TransferImport},
        {{"import", "products", "a.csv"}, Cmd::ProductImport},
        {{"import", "accounts", "a.csv"}, Cmd::AccountImport},
        {{"import", "customers", "a.csv"}, Cmd::CustomerImport},
        {{"import", "suppliers", "a.csv"}, Cmd::VenderImport},
        {{"import", "staff", "a.csv"}, Cmd::StaffImport},
        {{"import", "classes", "a.csv"}, Cmd::ClassImport},
        {{"import", "warehouses", "a.csv"}, Cmd::StorageImport},
        {{"import", "regions", "a.csv"}, Cmd::RegionImport},
    };
    for (const auto& [words, button] : cases) {
        QStringList args = words;
        if (args.first() == "chart" || (args.first() == "report" && args.at(1) != "stock"))
            args << period;
        const cli::CommandInfo* info = cli::findCommand(args.takeFirst());
        QVERIFY(info);
        auto command = info->make();
        command->parse(args);
        QVERIFY2(command->windowCommand() == button, qPrintable(words.join(' ')));
    }
}

QTEST_GUILESS_MAIN(TestCliRights)
#include "TestCliRights.moc"
