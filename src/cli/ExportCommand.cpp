#include "cli/Command.h"
#include "cli/GridOutput.h"
#include "core/accounts/Login.h"
#include "core/grid/Grid.h"
#include "core/importexport/ExportRights.h"
#include "core/printing/PrintHeading.h"

namespace tl::cli {
namespace {

class ExportCommand : public Command {
public:
    void parse(const QStringList& args) override {
        const Options options(args, {{}, {QStringLiteral("--out")}, 1});
        const QString name = options.positionals().at(0);
        m_table = requireTable(listedTableNamed(name), name);
        m_out = options.value(QStringLiteral("--out"));
        if (options.has(QStringLiteral("--out")))
            checkGridOutputName(m_out);
    }
    bool paints() const override { return gridOutputPaints(m_out); }
    QStringList rights() const override {
        return {listedTableViewRight(m_table), exportRight(m_table)};
    }
    int run(Login& login, Progress& progress) override {
        Grid grid;
        loadListedTable(grid, *login.db, login.session, m_table);
        return writeGridOutput(grid,
                               PrintHeading::now(listedTableTitle(m_table), QString(),
                                                 login.db->path(), login.session.operatorName),
                               m_out, progress);
    }

private:
    ListedTable m_table = ListedTable::Sales;
    QString m_out;
};

} // namespace

QList<CommandInfo> exportCommands() {
    return {
        {QStringLiteral("export"), QStringLiteral("导出销售、采购、调库记录或各项设置的列表"),
         QStringLiteral("用法：tradeledger-cli --set 套帐 export 表 [--out 文件]\n"
                        "\n"
                        "写出主窗口中该表显示的记录表格，与在表格上右击“导出表格”相同。\n"
                        "需要查看该表的权限和相应的导出权限（如“导出销售记录”“导出产品设置”）。\n"
                        "\n"
                        "表：sales 销售, purchases 采购, transfers 调库, products 产品,\n"
                        "    accounts 账号, customers 客户, suppliers 供应商, staff 人员,\n"
                        "    classes 产品类别, warehouses 仓库, regions 地区\n"
                        "\n"
                        "选项：\n") +
             gridOutputHelp() +
             QStringLiteral("\n"
                            "示例：\n"
                            "  tradeledger-cli --set 示例套帐 export customers --out 客户.xlsx\n"
                            "  tradeledger-cli --set 示例套帐 export sales > 销售.csv\n"),
         [] { return std::make_unique<ExportCommand>(); }}};
}

} // namespace tl::cli
