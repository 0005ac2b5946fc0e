#include "cli/Command.h"
#include "cli/Console.h"
#include "core/accounts/Login.h"
#include "core/data/Database.h"
#include "core/data/Integrity.h"
#include "core/transactions/StockCheck.h"
#include "core/transactions/StockLedger.h"

namespace tl::cli {
namespace {

// Rebuilding and checking the stock table belong to the current stock
// report, which replaces Stock with the balances of the records.
constexpr Cmd kStockCommand = Cmd::CurrentStock;
constexpr int kShownDifferences = 20;

class RebuildCommand : public Command {
public:
    void parse(const QStringList& args) override { Options(args, {}); }
    std::optional<Cmd> windowCommand() const override { return kStockCommand; }
    int run(Login& login, Progress& progress) override {
        StockLedger::rebuildStock(*login.db, StockLedger::allDates, QStringLiteral("T_Stock"),
                                  progress);
        progress.close();
        const int rows = StockLedger::stockRows(*login.db);
        printError(QStringLiteral("库存已按记录重建，共 %1 行。").arg(rows));
        return Done;
    }
};

QString numberText(double value) {
    return QString::number(value, 'f', value == qRound64(value) ? 0 : 2);
}

class VerifyCommand : public Command {
public:
    void parse(const QStringList& args) override { Options(args, {}); }
    bool readOnly() const override { return true; }
    bool checksFile() const override { return true; }
    std::optional<Cmd> windowCommand() const override { return kStockCommand; }
    int run(Login& login, Progress& progress) override {
        const Database& db = *login.db;
        const QStringList problems = integrityProblems(db);
        for (const QString& p : problems)
            writeOut(QStringLiteral("完整性：%1\n").arg(p).toUtf8());

        const StockComparison comparison = compareStockWithRecords(db, progress);
        const QList<StockDifference>& differences = comparison.differences;
        progress.close();
        for (qsizetype i = 0; i < differences.size() && i < kShownDifferences; ++i) {
            const StockDifference& d = differences.at(i);
            QString line = QStringLiteral("库存：仓库 %1（%2） 产品 %3（%4） 库存表 %5，按记录 %6")
                               .arg(d.sid)
                               .arg(db.nameById(QStringLiteral("Storage"), d.sid,
                                                QStringLiteral("SID"), QStringLiteral("Name")))
                               .arg(d.pid)
                               .arg(db.nameById(QStringLiteral("Product"), d.pid,
                                                QStringLiteral("PID"), QStringLiteral("Name")))
                               .arg(numberText(d.stored), numberText(d.rebuilt));
            if (d.storedRows > 1)
                line += QStringLiteral("（库存表中有 %1 行）").arg(d.storedRows);
            writeOut(line.toUtf8() + '\n');
        }
        if (differences.size() > kShownDifferences)
            writeOut(QStringLiteral("……另有 %1 处不一致未列出。\n")
                         .arg(differences.size() - kShownDifferences)
                         .toUtf8());

        const bool sound = problems.isEmpty() && differences.isEmpty();
        if (sound)
            printError(QStringLiteral("检查完成：数据库完整，库存与记录一致。"));
        if (!problems.isEmpty())
            printError(QStringLiteral("数据库完整性检查发现问题。"));
        if (!differences.isEmpty())
            printError(
                QStringLiteral("库存表与记录不一致，共 %1 处；用 rebuild 命令可按记录重建库存。")
                    .arg(differences.size()));
        // Saving moves stock by whole numbers, the rebuild by the exact quantities.
        if (comparison.roundedPairs > 0)
            printError(QStringLiteral("有 %1 处库存与按记录计算的数量只差取整（保存记录时库存按"
                                      "取整后的数量变动），不算不一致。")
                           .arg(comparison.roundedPairs));
        return sound ? Done : Failed;
    }
};

} // namespace

QList<CommandInfo> ledgerCommands() {
    return {
        {QStringLiteral("rebuild"), QStringLiteral("按销售、采购和调库记录重建库存表"),
         QStringLiteral("用法：tradeledger-cli --set 套帐 rebuild\n"
                        "\n"
                        "按全部销售、采购和调库记录重新计算每个仓库中每种产品的数量，\n"
                        "替换库存表（与“当前库存量”统计相同）。需要权限“查看库存数量”。\n"
                        "\n"
                        "示例：\n"
                        "  tradeledger-cli --set 示例套帐 rebuild\n"),
         [] { return std::make_unique<RebuildCommand>(); }},
        {QStringLiteral("verify"), QStringLiteral("检查数据库是否完好、库存表是否与记录一致"),
         QStringLiteral("用法：tradeledger-cli --set 套帐 verify\n"
                        "\n"
                        "运行 SQLite 的完整性检查（服务器上的套帐检查应有的表和列是否都在），\n"
                        "再按记录重新计算库存并与库存表比较，不改动套帐中的任何数据。\n"
                        "发现的问题（最多列出前 20 处）输出到标准输出；"
                        "有问题时退出码为 1。保存记录时库存按取整后的数量变动，重建时按记录的\n"
                        "原数量合计，所以两者之差不超过该仓库该产品各记录取整之差的合计时\n"
                        "不算不一致，只报告这样的处数。需要权限“查看库存数量”。\n"
                        "\n"
                        "示例：\n"
                        "  tradeledger-cli --set /srv/books/shop.lbk verify || echo 需要检查\n"),
         [] { return std::make_unique<VerifyCommand>(); }},
    };
}

} // namespace tl::cli
