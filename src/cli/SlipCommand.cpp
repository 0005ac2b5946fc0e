#include "cli/Command.h"
#include "cli/Console.h"
#include "core/accounts/Login.h"
#include "core/printing/PdfFile.h"
#include "core/printing/SlipDocument.h"

namespace tl::cli {
namespace {

class SlipCommand : public Command {
public:
    bool paints() const override { return true; }

    void parse(const QStringList& args) override {
        const Options options(args, {{}, {QStringLiteral("--ids"), QStringLiteral("--out")}, 1});
        const QString kind = options.positionals().at(0);
        if (kind != QStringLiteral("sales") && kind != QStringLiteral("purchases"))
            throw UsageError(QStringLiteral("未知的单据：%1（可用：sales, purchases）").arg(kind));
        m_kind = kind == QStringLiteral("sales") ? SlipKind::Sale : SlipKind::Purchase;
        const QString ids = options.required(QStringLiteral("--ids"));
        for (const QString& part : ids.split(QLatin1Char(','))) {
            bool ok = false;
            const qint64 id = part.trimmed().toLongLong(&ok);
            if (!ok || id <= 0)
                throw UsageError(
                    QStringLiteral("--ids 须为以逗号分隔的记录号（如 12,13,14）：%1").arg(ids));
            m_ids << id;
        }
        m_out = options.required(QStringLiteral("--out"));
        if (!isPdfName(m_out))
            throw UsageError(QStringLiteral("--out 的文件名须以 .pdf 结尾：%1").arg(m_out));
    }

    std::optional<Cmd> windowCommand() const override {
        return m_kind == SlipKind::Sale ? Cmd::SaleSlip : Cmd::PurchaseSlip;
    }

    int run(Login& login, Progress& progress) override {
        const Database& db = *login.db;
        Slip slip;
        if (const Outcome built = buildSlip(db, login.session, m_kind, m_ids, slip); !built) {
            printOutcome(built);
            return Failed;
        }
        SlipDocument document(slip);
        Outcome written;
        printNumbered(db, document, [&] {
            written = writePdf(document, m_out, PageSetup(), progress);
            return written.isOk();
        });
        progress.close();
        if (!written) {
            printOutcome(written);
            return Failed;
        }
        printError(QStringLiteral("%1 %2 已写入：%3")
                       .arg(slip.title(), document.slip().numberText(), m_out));
        return Done;
    }

private:
    SlipKind m_kind = SlipKind::Sale;
    QList<qint64> m_ids;
    QString m_out;
};

} // namespace

QList<CommandInfo> slipCommands() {
    return {{QStringLiteral("slip"),
             QStringLiteral("把销售记录或采购记录开成销售单、采购单（PDF）"),
             QStringLiteral(
                 "用法：tradeledger-cli --set 套帐 slip sales --ids 记录号,… --out 文件.pdf\n"
                 "      tradeledger-cli --set 套帐 slip purchases --ids 记录号,… --out 文件.pdf\n"
                 "\n"
                 "与销售页的“打印销售单”、采购页的“打印采购单”相同：同一客户（供应商）的\n"
                 "记录开成一张单据，印出“单据设置”中的店名、地址和电话，每张单据取下一个单号。\n"
                 "需要权限“操作销售记录”或“操作采购记录”。\n"
                 "\n"
                 "选项：\n"
                 "  --ids 记录号   以逗号分隔的记录号（主窗口表格的“记录号”列），须属于同一客户\n"
                 "                 （采购：同一供应商）\n"
                 "  --out 文件     PDF 文件，以 .pdf 结尾；已有的同名文件被替换\n"
                 "\n"
                 "示例：\n"
                 "  tradeledger-cli --set 示例套帐 slip sales --ids 12,13,14 --out 销售单.pdf\n"),
             [] { return std::make_unique<SlipCommand>(); }}};
}

} // namespace tl::cli
