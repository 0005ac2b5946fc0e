#include "cli/Command.h"
#include "cli/Console.h"
#include "core/accounts/Login.h"
#include "core/charts/ChartPicture.h"
#include "core/charts/ChartQueries.h"
#include "core/grid/Grid.h"
#include "core/importexport/GridExport.h"

namespace tl::cli {
namespace {

const QSize kDefaultSize(1180, 720);

class ChartCommand : public Command {
public:
    bool paints() const override { return true; }

    void parse(const QStringList& args) override {
        const Options options(
            args, {{QStringLiteral("--amount")},
                   {QStringLiteral("--from"), QStringLiteral("--to"), QStringLiteral("--warehouse"),
                    QStringLiteral("--product"), QStringLiteral("--out"), QStringLiteral("--size"),
                    QStringLiteral("--table")},
                   1});
        const QString kind = options.positionals().at(0);
        if (kind != QStringLiteral("trend") && kind != QStringLiteral("profit"))
            throw UsageError(QStringLiteral("未知的图表：%1（可用：trend, profit）").arg(kind));
        m_profit = kind == QStringLiteral("profit");
        if (m_profit && (options.has(QStringLiteral("--warehouse")) ||
                         options.flag(QStringLiteral("--amount"))))
            throw UsageError(QStringLiteral("毛利分析没有 --warehouse 和 --amount 选项。"));
        m_period = requiredDates(options);
        m_amount = options.flag(QStringLiteral("--amount"));
        if (options.has(QStringLiteral("--warehouse")))
            m_warehouse = parseKey(QStringLiteral("--warehouse"),
                                   options.value(QStringLiteral("--warehouse")));
        if (options.has(QStringLiteral("--product")))
            m_product =
                parseKey(QStringLiteral("--product"), options.value(QStringLiteral("--product")));
        m_out = options.required(QStringLiteral("--out"));
        if (pictureTypeOf(m_out) == PictureType::Unknown)
            throw UsageError(
                QStringLiteral("--out 的文件名须以 .jpg、.png 或 .pdf 结尾：%1").arg(m_out));
        if (options.has(QStringLiteral("--size")))
            m_size = parseSize(options.value(QStringLiteral("--size")));
        m_table = options.value(QStringLiteral("--table"));
        if (options.has(QStringLiteral("--table")) && !isCsvPath(m_table))
            throw UsageError(QStringLiteral("--table 的文件名须以 .csv 结尾：%1").arg(m_table));
    }

    std::optional<Cmd> windowCommand() const override {
        return m_profit ? Cmd::ProfitChart : m_amount ? Cmd::AmountChart : Cmd::QuantityChart;
    }

    int run(Login& login, Progress& progress) override {
        Grid table;
        ChartResult result;
        if (m_profit)
            result =
                profitTable(*login.db, {m_period.from, m_period.to, m_product}, table, progress);
        else
            result = trendTable(*login.db,
                                {m_period.from, m_period.to, m_warehouse, m_product, m_amount},
                                table, progress);
        progress.close();
        if (!result.drawable) {
            printError(result.message);
            return Failed;
        }
        // The chart's table as the grid export writes it.
        if (!m_table.isEmpty() && gridToCsv(table, m_table, progress) != ExportStatus::Written) {
            progress.close();
            printError(QStringLiteral("文件保存出错！（%1）").arg(m_table));
            return Failed;
        }
        progress.close();
        QString error;
        if (!saveChartPicture(table, result.title, m_out, m_size, 1.0, 0, &error)) {
            printError(QStringLiteral("保存图片出错！") +
                       (error.isEmpty() ? QString() : QStringLiteral("（%1）").arg(error)));
            return Failed;
        }
        return Done;
    }

private:
    bool m_profit = false;
    bool m_amount = false;
    DateRange m_period;
    int m_warehouse = 0;
    int m_product = 0;
    QString m_out;
    QString m_table;
    QSize m_size = kDefaultSize;
};

} // namespace

QList<CommandInfo> chartCommands() {
    return {{QStringLiteral("chart"), QStringLiteral("画出采购/销售变化图或毛利分析图，存为图片"),
             QStringLiteral(
                 "用法：tradeledger-cli --set 套帐 chart trend --from 日期 --to 日期\n"
                 "          [--warehouse 仓库号] [--product 产品号] [--amount] --out 文件\n"
                 "          [--size 宽x高] [--table 文件.csv]\n"
                 "      tradeledger-cli --set 套帐 chart profit --from 日期 --to 日期\n"
                 "          [--product 产品号] --out 文件 [--size 宽x高] [--table 文件.csv]\n"
                 "\n"
                 "与“分析”页的按钮相同：trend 为每月采购与销售的数量（加 --amount 为金额），\n"
                 "profit 为每月的销售毛利。需要权限“操作图表分析”以及“查看数量分析”、\n"
                 "“查看金额分析”或“查看毛利分析”。\n"
                 "\n"
                 "选项：\n"
                 "  --from, --to    统计的起止日期（YYYY-MM-DD），按整月统计\n"
                 "  --warehouse     只统计这个仓库（仓库记录号），默认全部仓库\n"
                 "  --product       只统计这个产品（产品记录号），默认全部产品\n"
                 "  --amount        统计金额而不是数量（仅 trend）\n"
                 "  --out 文件      图片文件，以 .jpg、.png 或 .pdf 结尾；已有的同名文件被替换\n"
                 "  --size 宽x高    图片大小（像素），默认 1180x720\n"
                 "  --table 文件    同时把图表的数据表写成 CSV 文件（与导出表格相同）\n"
                 "\n"
                 "示例：\n"
                 "  tradeledger-cli --set 示例套帐 chart trend --from 2024-01-01 --to 2024-12-31 "
                 "--amount --out 趋势.png\n"
                 "  tradeledger-cli --set 示例套帐 chart profit --from 2024-01-01 --to 2024-12-31 "
                 "--out 毛利.pdf --table 毛利.csv\n"),
             [] { return std::make_unique<ChartCommand>(); }}};
}

} // namespace tl::cli
