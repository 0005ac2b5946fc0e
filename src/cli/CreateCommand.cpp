#include "cli/Command.h"
#include "cli/Console.h"
#include "core/accounts/AppPaths.h"
#include "core/accounts/NewAccountSet.h"

#include <QFileInfo>

namespace tl::cli {
namespace {

class CreateCommand : public Command {
public:
    void parse(const QStringList& args) override {
        const Options options(args, {{}, {QStringLiteral("--file")}, 1});
        m_name = options.positionals().at(0);
        m_file = options.value(QStringLiteral("--file"));
        if (options.has(QStringLiteral("--file")) && m_file.trimmed().isEmpty())
            throw UsageError(QStringLiteral("--file 缺少文件名。"));
    }
    QStringList rights() const override { return {}; }
    int run(Login&, Progress&) override { return Failed; }
    bool standsAlone() const override { return true; }
    int runAlone() override {
        // Where the window's file dialog would have put it.
        // A relative --file is taken from the current folder, as a shell user
        // expects, never from the program folder.
        const QString file = m_file.isEmpty() ? AppPaths::documentsFolder() + QLatin1Char('/') +
                                                    m_name.trimmed() + QStringLiteral(".lbk")
                                              : QFileInfo(m_file.trimmed()).absoluteFilePath();
        // A name the tool is to find with --set must name one account set only,
        // and a file that exists is never overwritten nor taken over unasked.
        const auto result = NewAccountSet().create(m_name, file, NewAccountSet::Existing::Refuse,
                                                   Registry::Names::Unique);
        if (!result.created) {
            printOutcome(result.outcome);
            return Failed;
        }
        printError(QStringLiteral("已建立套帐“%1”：%2").arg(m_name.trimmed(), file));
        return Done;
    }

private:
    QString m_name;
    QString m_file;
};

} // namespace

QList<CommandInfo> createCommands() {
    return {{QStringLiteral("create"), QStringLiteral("建立新套帐并登记它的名字"),
             QStringLiteral(
                 "用法：tradeledger-cli create 套帐名 [--file 文件]\n"
                 "\n"
                 "与登录窗口的“新建套帐”相同：复制空白模板 DB.lbk 建立套帐文件，并以这个名字\n"
                 "登记到套帐列表，此后可以用 --set 套帐名 使用它（初始用户 admin，密码 730281）。\n"
                 "不需要 --set，也不需要密码。\n"
                 "\n"
                 "选项：\n"
                 "  --file 文件   套帐文件的路径；默认为文档文件夹（没有时为主文件夹）中的\n"
                 "                “套帐名.lbk”\n"
                 "\n"
                 "已经登记的名字（不分大小写）或已经存在的文件都会被拒绝，不会覆盖任何文件；\n"
                 "名字不能为空，不能含有 / 或 \\ 以及换行等控制字符。失败时既不留下文件，\n"
                 "也不登记。\n"
                 "\n"
                 "示例：\n"
                 "  tradeledger-cli create 本店\n"),
             [] { return std::make_unique<CreateCommand>(); }}};
}

} // namespace tl::cli
