#include "cli/Command.h"
#include "cli/Console.h"
#include "core/accounts/Login.h"
#include "core/importexport/ImportHeader.h"
#include "core/importexport/Importer.h"
#include "core/importexport/Workbook.h"

namespace tl::cli {
namespace {

class ImportCommand : public Command {
public:
    void parse(const QStringList& args) override {
        const Options options(args, {{QStringLiteral("--dry-run")},
                                     {QStringLiteral("--sheet"), QStringLiteral("--columns"),
                                      QStringLiteral("--lines"), QStringLiteral("--encoding")},
                                     2});
        const QString name = options.positionals().at(0);
        m_request.table = requireTable(listedTableNamed(name.trimmed()), name);
        m_request.path = options.positionals().at(1);
        m_request.sheet = options.value(QStringLiteral("--sheet"));
        if (options.has(QStringLiteral("--sheet")) && !Workbook::isWorkbookPath(m_request.path))
            throw UsageError(QStringLiteral("--sheet 只用于 .xls 或 .xlsx 工作簿。"));
        if (options.has(QStringLiteral("--encoding"))) {
            if (Workbook::isWorkbookPath(m_request.path))
                throw UsageError(QStringLiteral("--encoding 只用于 CSV 文件。"));
            const std::optional<EncodingChoice> choice =
                encodingChoiceNamed(options.value(QStringLiteral("--encoding")));
            if (!choice)
                throw UsageError(
                    QStringLiteral("--encoding 只能是 auto、utf-8、gb18030、big5 或 utf-16。"));
            m_request.encoding = *choice;
        }
        m_request.dryRun = options.flag(QStringLiteral("--dry-run"));
        const ImportTableDef& def = importTableDef(m_request.table);
        m_request.columns = def.defaultColumns();
        m_autoColumns = options.value(QStringLiteral("--columns")).trimmed().toLower() ==
                        QStringLiteral("auto");
        if (options.has(QStringLiteral("--columns")) && !m_autoColumns) {
            const QStringList given = parseColumns(options.value(QStringLiteral("--columns")));
            if (given.size() > def.fieldSlots.size())
                throw UsageError(QStringLiteral("--columns 给了 %1 个列号，导入%2只有 %3 项。")
                                     .arg(given.size())
                                     .arg(def.records)
                                     .arg(def.fieldSlots.size()));
            for (qsizetype i = 0; i < given.size(); ++i)
                m_request.columns[i] = given.at(i);
        }
        // The mapping dialog's start and end lines.
        const LineRange lines = parseLines(options.has(QStringLiteral("--lines"))
                                               ? options.value(QStringLiteral("--lines"))
                                               : QStringLiteral("2-10"));
        m_request.firstLine = lines.first;
        m_request.lastLine = lines.last;
    }

    std::optional<Cmd> windowCommand() const override { return importCommandOf(m_request.table); }

    int run(Login& login, Progress& progress) override {
        if (m_autoColumns && !columnsByHeader())
            return WrongUsage;
        const ImportResult result = importRecords(*login.db, m_request, progress);
        progress.close();
        if (!result.ok) {
            printError(result.error);
            return Failed;
        }
        printError(result.summary(m_request.table));
        return Done;
    }

private:
    // --columns auto: the columns named by the titles of line 1. A field no
    // title names is taken as not in the file rather than given its default
    // letter, which may well be a column the titles give to another field;
    // a required one refuses the import. False when refused (said on stderr).
    bool columnsByHeader() {
        const ImportTableDef& def = importTableDef(m_request.table);
        const ImportFileLines lines =
            scanImportFile(m_request.path, m_request.sheet, m_request.encoding);
        if (lines.count == 0)
            return true; // the import says why the file does not read
        if (!looksLikeHeader(lines.first, def)) {
            printError(
                QStringLiteral("--columns auto：第 1 行不像表头，请用 --columns 写出列号。"));
            return false;
        }
        const HeaderMatch match = matchHeader(lines.first, def);
        for (int i = 0; i < def.fieldSlots.size(); ++i) {
            if (def.fieldSlots[i].required && match.columns[i].isEmpty()) {
                printError(QStringLiteral("--columns auto：表头中找不到必填项“%1”，没有导入。")
                               .arg(def.fieldSlots[i].label));
                return false;
            }
        }
        m_request.columns = match.columns;
        QStringList found;
        for (int i = 0; i < def.fieldSlots.size(); ++i)
            if (!match.columns[i].isEmpty())
                found << def.fieldSlots[i].label + QLatin1Char('=') + match.columns[i];
        printError(QStringLiteral("按表头对应：") + found.join(QLatin1Char(' ')));
        if (!match.missing.isEmpty())
            printError(QStringLiteral("表头中找不到：%1；这些项按文件中没有处理。")
                           .arg(match.missing.join(QStringLiteral("、"))));
        if (m_request.firstLine <= 1)
            m_request.firstLine = 2; // past the header
        return true;
    }

    ImportRequest m_request;
    bool m_autoColumns = false;
};

QString slotsHelp() {
    QString text;
    for (ListedTable t : allListedTables()) {
        QStringList items;
        for (const ImportSlot& s : importTableDef(t).fieldSlots)
            items << s.label + QLatin1Char('=') + s.column;
        text += QStringLiteral("  %1%2\n")
                    .arg(listedTableName(t), -12)
                    .arg(items.join(QLatin1Char(' ')));
    }
    return text;
}

} // namespace

QList<CommandInfo> importCommands() {
    return {{QStringLiteral("import"), QStringLiteral("从 CSV 文件或 Excel 工作表导入记录"),
             QStringLiteral(
                 "用法：tradeledger-cli --set 套帐 import 表 文件 [--sheet 工作表]\n"
                 "          [--encoding 编码] [--columns B,C,D,…|auto]\n"
                 "          [--lines 起始行-终止行]\n"
                 "          [--dry-run]\n"
                 "\n"
                 "与导入按钮和“导入EXCEL表格（列对应设置）”相同：按列号取出每一项，把名称\n"
                 "换成记录号（没有的主记录随之建立），设置表中已有的名称跳过；销售、采购和\n"
                 "调库记录同时改变库存。全部导入或全部不导入。需要该表的导入权限（如\n"
                 "“导入销售记录”）；产品类别、仓库和地区还需要查看该列表的权限，\n"
                 "与主窗口的导入按钮相同。\n"
                 "\n"
                 "读不出的行跳过并说明原因：不以数字开头的数量或金额、无法识别的日期、\n"
                 "录入窗口不接受的值（如超出范围的数量、调库数量为零）。含 NUL 字符的\n"
                 "文件不是文本文件，不导入。\n"
                 "\n"
                 "表：sales, purchases, transfers, products, accounts, customers, suppliers,\n"
                 "    staff, classes, warehouses, regions\n"
                 "文件：.csv 文件（GBK/GB18030、UTF-8、Big5 或 UTF-16，自动识别），\n"
                 "      或 .xls / .xlsx 工作簿\n"
                 "\n"
                 "选项：\n"
                 "  --sheet 名称      工作簿中的工作表，默认第一张\n"
                 "  --encoding 编码   CSV 文件的编码：auto（默认，自动识别）、utf-8、\n"
                 "                    gb18030、big5 或 utf-16；结果中注明所用的编码\n"
                 "  --columns 列号    各项对应的列号，按下表的顺序以逗号分隔；\n"
                 "                    少给的项用默认列号，空着的项（如 B,C,,E）表示\n"
                 "                    文件中没有此项\n"
                 "  --columns auto    按第 1 行的表头对应列号（如“品名”“单价”对应\n"
                 "                    产品、价格）；找不到的项按文件中没有处理，\n"
                 "                    找不到必填项则不导入；起始行至少为 2\n"
                 "  --lines 行-行     导入的起始行和终止行，默认 2-10（与对话框相同）；\n"
                 "                    终止行之后还有的行在结果中注明\n"
                 "  --dry-run         只读取和检查，报告将添加和跳过的记录，不保存任何记录\n"
                 "\n"
                 "各表的项和默认列号：\n") +
                 slotsHelp() +
                 QStringLiteral(
                     "\n"
                     "示例：\n"
                     "  tradeledger-cli --set 示例套帐 import sales 订单.csv --lines 2-5000 "
                     "--dry-run\n"
                     "  tradeledger-cli --set 示例套帐 import customers 客户.xlsx --sheet 客户 "
                     "--columns B,C,D\n"
                     "  tradeledger-cli --set 示例套帐 import sales 订单.csv --columns auto "
                     "--lines 2-5000\n"),
             [] { return std::make_unique<ImportCommand>(); }}};
}

} // namespace tl::cli
