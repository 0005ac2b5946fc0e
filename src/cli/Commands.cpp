#include "cli/Command.h"

namespace tl::cli {

const QList<CommandInfo>& commandList() {
    static const QList<CommandInfo> list = [] {
        QList<CommandInfo> all;
        all << reportCommands() << chartCommands() << slipCommands() << importCommands()
            << exportCommands() << ledgerCommands() << backupCommands() << migrateCommands()
            << createCommands();
        return all;
    }();
    return list;
}

const CommandInfo* findCommand(const QString& name) {
    for (const CommandInfo& c : commandList())
        if (c.name == name)
            return &c;
    return nullptr;
}

QString toolHelp() {
    QString text = QStringLiteral(
        "用法：tradeledger-cli --set 套帐 [--user 用户名] 命令 [选项]\n"
        "      tradeledger-cli create 套帐名 [--file 文件]\n"
        "\n"
        "不开窗口，在终端或脚本里使用套帐：统计、图表、单据、导入、导出、检查、备份、迁移与新建套帐"
        "。\n"
        "每个命令做的事与主窗口中相应的按钮完全相同，也需要相同的权限。\n"
        "\n"
        "选项：\n"
        "  --set 套帐      套帐文件的路径，或登录窗口中列出的套帐名\n"
        "  --user 用户名   登录的操作员，默认 admin\n"
        "  --help, -h      显示本说明；放在命令后面时显示该命令的说明\n"
        "\n"
        "密码取自环境变量 TRADELEDGER_PASSWORD；没有设置时在终端上询问（输入不回显）。\n"
        "密码从不写在命令行上。\n"
        "\n"
        "第一次用到套帐列表时（用套帐名或 create，而程序文件夹中还没有 Parameter.mdb），\n"
        "与第一次打开登录窗口一样建立套帐列表和示例套帐“示例套帐”。\n"
        "\n"
        "命令：\n");
    for (const CommandInfo& c : commandList())
        text += QStringLiteral("  %1%2\n").arg(c.name, -12).arg(c.summary);
    text += QStringLiteral(
        "\n"
        "日期写作 YYYY-MM-DD。消息输出到标准错误；耗时的工作在标准错误是终端时显示进度。\n"
        "\n"
        "退出码：0 完成；1 被拒绝或失败（消息说明原因）；2 用法错误。\n"
        "\n"
        "示例：\n"
        "  TRADELEDGER_PASSWORD=730281 tradeledger-cli --set 示例套帐 verify\n");
    return text;
}

} // namespace tl::cli
