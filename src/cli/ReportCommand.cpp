#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/GridOutput.h"
#include "core/accounts/Login.h"
#include "core/grid/Grid.h"
#include "core/printing/PrintHeading.h"
#include "core/statistics/StatisticsPages.h"
#include "core/statistics/StockReport.h"
#include "core/statistics/TradeReports.h"

namespace tl::cli {
namespace {

enum class Report { Stock, StockChange, Sales, Purchases, Receivables, Payables };

struct ReportKind {
    const char* name;
    Report report;
    StatisticsPage page; // its caption names the exported sheet
    Cmd command;         // the button that shows it
};

const ReportKind kKinds[] = {
    {"stock", Report::Stock, StatisticsPage::Stock, Cmd::CurrentStock},
    {"stock-change", Report::StockChange, StatisticsPage::Stock, Cmd::StockQuantities},
    {"sales", Report::Sales, StatisticsPage::Sales, Cmd::SalesTotals},
    {"purchases", Report::Purchases, StatisticsPage::Purchases, Cmd::PurchaseTotals},
    {"receivables", Report::Receivables, StatisticsPage::Receivables, Cmd::Receivables},
    {"payables", Report::Payables, StatisticsPage::Payables, Cmd::Payables},
};

class ReportCommand : public Command {
public:
    void parse(const QStringList& args) override {
        const Options options(
            args, {{QStringLiteral("--values")},
                   {QStringLiteral("--from"), QStringLiteral("--to"), QStringLiteral("--out")},
                   1});
        const QString name = options.positionals().at(0);
        for (const ReportKind& k : kKinds)
            if (name == QLatin1String(k.name))
                m_kind = &k;
        if (!m_kind)
            throw UsageError(QStringLiteral("未知的统计：%1（可用：stock, stock-change, sales, "
                                            "purchases, receivables, payables）")
                                 .arg(name));
        m_values = options.flag(QStringLiteral("--values"));
        if (m_values && m_kind->report != Report::StockChange)
            throw UsageError(QStringLiteral("--values 只用于 stock-change。"));
        if (m_kind->report == Report::Stock) {
            if (options.has(QStringLiteral("--from")) || options.has(QStringLiteral("--to")))
                throw UsageError(QStringLiteral("当前库存没有 --from 和 --to 选项。"));
        } else {
            m_dates = requiredDates(options);
        }
        m_out = options.value(QStringLiteral("--out"));
        if (options.has(QStringLiteral("--out")))
            checkGridOutputName(m_out);
    }

    bool paints() const override { return gridOutputPaints(m_out); }

    std::optional<Cmd> windowCommand() const override {
        return m_values ? Cmd::StockValues : m_kind->command;
    }

    int run(Login& login, Progress& progress) override {
        const Database& db = *login.db;
        const Period period{m_dates.from, m_dates.to};
        const TradeSide side =
            m_kind->report == Report::Sales || m_kind->report == Report::Receivables
                ? TradeSide::Sales
                : TradeSide::Purchases;
        Grid grid;
        bool filled = true;
        switch (m_kind->report) {
        case Report::Stock:
            filled = stockReport(db, grid, progress);
            break;
        case Report::StockChange:
            filled = stockChangeReport(db, grid, m_dates.from, m_dates.to,
                                       m_values ? StockMeasure::Values : StockMeasure::Quantities,
                                       progress);
            break;
        case Report::Sales:
        case Report::Purchases:
            filled = tradeTotals(db, grid, side, period, progress);
            break;
        case Report::Receivables:
        case Report::Payables:
            filled = outstandingMatrix(db, grid, side, period, progress);
            break;
        }
        progress.close();
        // A period without records gives the window an empty table; a script
        // is better told, and gets no file of empty cells.
        if (!filled) {
            printError(m_kind->report == Report::Stock || m_kind->report == Report::StockChange
                           ? QStringLiteral("表格中没有数据！")
                           : emptyPeriodMessage(side));
            return Failed;
        }
        const QString printedPeriod = m_kind->report == Report::Stock
                                          ? QString()
                                          : PrintHeading::periodText(m_dates.from, m_dates.to);
        return writeGridOutput(grid,
                               PrintHeading::now(statisticsPageTitle(m_kind->page), printedPeriod,
                                                 login.db->path(), login.session.operatorName),
                               m_out, progress);
    }

private:
    const ReportKind* m_kind = nullptr;
    bool m_values = false;
    DateRange m_dates;
    QString m_out;
};

} // namespace

QList<CommandInfo> reportCommands() {
    return {{QStringLiteral("report"),
             QStringLiteral("库存、库存变化、销售、采购、应收款和应付款统计"),
             QStringLiteral(
                 "用法：tradeledger-cli --set 套帐 report stock [--out 文件]\n"
                 "      tradeledger-cli --set 套帐 report stock-change --from 日期 --to 日期 "
                 "[--values] [--out 文件]\n"
                 "      tradeledger-cli --set 套帐 report sales|purchases|receivables|payables\n"
                 "          --from 日期 --to 日期 [--out 文件]\n"
                 "\n"
                 "与“盘 点”页的按钮相同，得到的表格也与窗口中显示的相同：\n"
                 "  stock          当前库存量（同时按记录重建库存表）      需要“查看库存数量”\n"
                 "  stock-change   两个日期之间的库存变化，数量；          需要“查看库存数量”\n"
                 "                 加 --values 为金额                      需要“查看库存金额”\n"
                 "  sales          每种产品的销售数量、金额、已收和未收    需要“查看销售统计”\n"
                 "  purchases      每种产品的采购数量、金额、已付和未付    需要“查看采购统计”\n"
                 "  receivables    每位客户每种产品的应收款                需要“查看应收款统计”\n"
                 "  payables       每个供应商每种产品的应付款              需要“查看应付款统计”\n"
                 "都还需要权限“操作盘点统计”。所选时间段内没有记录时说明原因、不写文件，\n"
                 "退出码为 1。\n"
                 "\n"
                 "选项：\n"
                 "  --from, --to   统计的起止日期（YYYY-MM-DD），两天都包括在内\n"
                 "  --values       stock-change 统计金额而不是数量\n") +
                 gridOutputHelp() +
                 QStringLiteral("\n"
                                "示例：\n"
                                "  tradeledger-cli --set 示例套帐 report sales --from 2024-03-01 "
                                "--to 2024-03-31 --out 三月销售.xlsx\n"
                                "  tradeledger-cli --set 示例套帐 report stock > 库存.csv\n"),
             [] { return std::make_unique<ReportCommand>(); }}};
}

} // namespace tl::cli
