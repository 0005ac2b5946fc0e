#include "cli/Cli.h"

#include "cli/CliSession.h"
#include "cli/Command.h"
#include "cli/Console.h"
#include "core/accounts/Login.h"
#include "core/data/Database.h"
#include "core/data/ServerAddress.h"
#include "core/sample/SampleData.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <memory>
#include <optional>

namespace tl::cli {
namespace {

const QString kTool = QStringLiteral("tradeledger-cli");

struct Invocation {
    QString set;
    QString user = QStringLiteral("admin");
    bool help = false;
    QString command;
    QStringList args;
};

// The tool's own options may stand anywhere; the first other word is the command.
Invocation parseInvocation(const QStringList& args) {
    Invocation inv;
    bool haveSet = false;
    bool haveUser = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        auto take = [&](const QString& name, QString& into, bool& seen) {
            if (seen)
                throw UsageError(QStringLiteral("选项 %1 只能给一次。").arg(name));
            seen = true;
            if (arg.startsWith(name + QLatin1Char('='))) {
                into = arg.mid(name.size() + 1);
            } else {
                if (i + 1 >= args.size())
                    throw UsageError(QStringLiteral("选项 %1 缺少取值。").arg(name));
                into = args.at(++i);
            }
        };
        if (arg == QStringLiteral("--set") || arg.startsWith(QStringLiteral("--set=")))
            take(QStringLiteral("--set"), inv.set, haveSet);
        else if (arg == QStringLiteral("--user") || arg.startsWith(QStringLiteral("--user=")))
            take(QStringLiteral("--user"), inv.user, haveUser);
        else if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h"))
            inv.help = true;
        else if (inv.command.isEmpty() && !arg.startsWith(QLatin1Char('-')))
            inv.command = arg;
        else
            inv.args << arg;
    }
    return inv;
}

void printOutText(const QString& text) {
    writeOut(text.toUtf8());
}

QString seeHelp(const QString& command) {
    return command.isEmpty() ? QStringLiteral("用 %1 --help 查看用法。").arg(kTool)
                             : QStringLiteral("用 %1 %2 --help 查看用法。").arg(kTool, command);
}

// Fonts need a GUI application; the offscreen platform needs no display, and
// choosing it here keeps the tool independent of QT_QPA_PLATFORM.
std::unique_ptr<QCoreApplication> makeApplication(char* program, bool paints) {
    static int argc = 1;
    static char* argv[4] = {program, nullptr, nullptr, nullptr};
    static char platformOption[] = "-platform";
    static char offscreen[] = "offscreen";
    if (!paints)
        return std::make_unique<QCoreApplication>(argc, argv);
    argc = 3;
    argv[1] = platformOption;
    argv[2] = offscreen;
    return std::make_unique<QGuiApplication>(argc, argv);
}

// Qt's own warnings are English notes for developers (a missing runtime folder
// on a server, say); the tool's user reads only the tool's Chinese messages.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        printError(text);
}

// Reads the invocation and the command's own arguments. Returns the exit
// code when that is all there is to do: help shown, wrong usage reported.
std::optional<int> prepare(const QStringList& args, Invocation& inv,
                           std::unique_ptr<Command>& command) {
    const CommandInfo* info = nullptr;
    try {
        inv = parseInvocation(args);
        if (inv.command == QStringLiteral("help")) {
            // "help report" reads like "report --help".
            inv.help = true;
            inv.command = inv.args.isEmpty() ? QString() : inv.args.takeFirst();
        }
        if (inv.command.isEmpty()) {
            if (inv.help) {
                printOutText(toolHelp());
                return Done;
            }
            throw UsageError(QStringLiteral("缺少命令。"));
        }
        info = findCommand(inv.command);
        if (!info) {
            printError(QStringLiteral("未知的命令：%1").arg(inv.command));
            printError(seeHelp({}));
            return WrongUsage;
        }
        if (inv.help) {
            printOutText(info->help);
            return Done;
        }
        command = info->make();
        command->parse(inv.args);
        if (command->standsAlone() && !inv.set.isEmpty())
            throw UsageError(QStringLiteral("命令 %1 不用选项 --set。").arg(info->name));
        if (!command->standsAlone() && inv.set.isEmpty())
            throw UsageError(QStringLiteral("缺少选项 --set（套帐文件或套帐名）。"));
    } catch (const UsageError& e) {
        printError(e.message());
        printError(seeHelp(info ? info->name : QString()));
        return WrongUsage;
    }
    return std::nullopt;
}

// Logs in, checks the rights and runs the command inside the account set.
int runInAccountSet(const Invocation& inv, Command& command, ConsoleProgress& progress) {
    QString password;
    std::optional<Login> login =
        logIn(inv.set, inv.user,
              command.checksFile() ? AccountSetFile::Check::Later : AccountSetFile::Check::Now,
              command.loginUse(), &password);
    if (!login || !requireRights(login->session, command.rights()))
        return Failed;
    command.takePassword(password);
    int code = Failed;
    try {
        code = command.run(*login, progress);
    } catch (const DbError& e) {
        progress.close();
        printFailure(e.userText(), e.detail());
        code = Failed;
    }
    // As the main window does when it closes, whether the work went well or not.
    if (!command.readOnly()) {
        try {
            login->db->dropWorkTables();
        } catch (const DbError&) {
            // A file that refused the work refuses the cleaning too; said above.
        }
    }
    return code;
}

} // namespace

int run(int argc, char** argv) {
    qInstallMessageHandler(quietQtMessages);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    Invocation inv;
    std::unique_ptr<Command> command;
    if (const std::optional<int> done = prepare(args, inv, command))
        return *done;

    auto app = makeApplication(argv[0], command->paints());
    // The same program folder as the windows: the per-user fallback is named after it.
    QCoreApplication::setApplicationName(QStringLiteral("TradeLedger"));
    ConsoleProgress progress;
    // The first use of the registry makes it, with the sample account set, as
    // the login window's first start does. A file named by --set needs none:
    // the program folder is left alone, as a cron job in a sandbox expects.
    Outcome firstStart;
    if (command->standsAlone() ||
        (!QFileInfo(inv.set).isFile() && !ServerAddress::isAddress(inv.set))) {
        SampleData::ensureFirstStart(firstStart);
        printOutcome(firstStart);
    }
    // A first start that could not make the registry has said why.
    if (command->standsAlone())
        return firstStart.kind == Outcome::Kind::Failed ? Failed : command->runAlone();
    return runInAccountSet(inv, *command, progress);
}

} // namespace tl::cli
