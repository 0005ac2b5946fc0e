#include "cli/Command.h"
#include "core/accounts/Rights.h"
#include "gui/mainwindow/MainCommands.h"

#include <QTest>

using namespace tl;

// The tool asks for the rights the main window's buttons ask for: for every
// operator that lacks one right of the vocabulary, a command runs exactly
// when its button is enabled (and its tab usable).
class TestCliRights : public QObject {
    Q_OBJECT
private slots:
    void commandsNeedTheirButtonsRights();
};

namespace {

struct Case {
    QStringList args;
    CommandId button;
};

bool toolAllows(const QStringList& needed, const QString& rights) {
    for (const QString& r : needed)
        if (!r.isEmpty() && !Rights::test(rights, r))
            return false;
    return true;
}

bool windowAllows(const Command& button, const QString& rights) {
    if (!commandAllowed(button, rights))
        return false;
    // The statistics and chart pages are disabled without their group's right.
    if (button.tab == StatisticsTab)
        return Rights::test(rights, statisticsRight());
    if (button.tab == ChartsTab)
        return Rights::test(rights, chartsRight());
    return true;
}

} // namespace

void TestCliRights::commandsNeedTheirButtonsRights() {
    const QString period = "--from=2024-01-01 --to=2024-12-31";
    const QList<Case> cases = {
        {{"report", "stock"}, {Bank::Trade, 12}},
        {{"report", "stock-change"}, {Bank::Trade, 10}},
        {{"report", "stock-change", "--values"}, {Bank::Trade, 11}},
        {{"report", "sales"}, {Bank::Trade, 13}},
        {{"report", "purchases"}, {Bank::Trade, 14}},
        {{"report", "receivables"}, {Bank::Trade, 15}},
        {{"report", "payables"}, {Bank::Trade, 16}},
        {{"rebuild"}, {Bank::Trade, 12}},
        {{"verify"}, {Bank::Trade, 12}},
        {{"chart", "trend", "--out=a.png"}, {Bank::Trade, 23}},
        {{"chart", "trend", "--amount", "--out=a.png"}, {Bank::Trade, 24}},
        {{"chart", "profit", "--out=a.png"}, {Bank::Trade, 28}},
        {{"slip", "sales", "--ids=1", "--out=a.pdf"}, {Bank::Trade, 31}},
        {{"slip", "purchases", "--ids=1", "--out=a.pdf"}, {Bank::Trade, 32}},
        {{"import", "sales", "a.csv"}, {Bank::Trade, 30}},
        {{"import", "purchases", "a.csv"}, {Bank::Trade, 29}},
        {{"import", "transfers", "a.csv"}, {Bank::Trade, 22}},
        {{"import", "products", "a.csv"}, {Bank::Master, 40}},
        {{"import", "accounts", "a.csv"}, {Bank::Master, 41}},
        {{"import", "customers", "a.csv"}, {Bank::Master, 42}},
        {{"import", "suppliers", "a.csv"}, {Bank::Master, 43}},
        {{"import", "staff", "a.csv"}, {Bank::Master, 44}},
        {{"import", "classes", "a.csv"}, {Bank::Master, 29}},
        {{"import", "warehouses", "a.csv"}, {Bank::Master, 34}},
        {{"import", "regions", "a.csv"}, {Bank::Master, 39}},
    };
    QStringList operators{Rights::all()};
    for (const QString& entry : Rights::vocabulary()) {
        QStringList granted = Rights::vocabulary();
        granted.removeAll(entry);
        operators << Rights::join(granted);
    }
    for (const Case& c : cases) {
        QStringList args = c.args;
        if (args.first() == "chart" || (args.first() == "report" && args.at(1) != "stock"))
            args << period.split(' ');
        const cli::CommandInfo* info = cli::findCommand(args.takeFirst());
        QVERIFY(info);
        auto command = info->make();
        command->parse(args);
        const Command* button = findCommand(c.button);
        QVERIFY(button);
        for (const QString& rights : operators)
            QVERIFY2(toolAllows(command->rights(), rights) == windowAllows(*button, rights),
                     qPrintable(c.args.join(' ') + ": " + command->rights().join(',')));
    }
}

QTEST_GUILESS_MAIN(TestCliRights)
#include "TestCliRights.moc"
