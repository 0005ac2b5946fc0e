#pragma once

#include "cli/Args.h"
#include "core/accounts/Commands.h"
#include "core/accounts/Login.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace tl {
class Progress;
} // namespace tl

namespace tl::cli {

// One command of the tool. Its arguments are checked before anyone is asked
// for a password, so wrong usage never gets as far as the account set.
class Command {
public:
    virtual ~Command() = default;
    // Throws UsageError.
    virtual void parse(const QStringList& args) = 0;
    // The main-window command the parsed command does, if it does one.
    virtual std::optional<Cmd> windowCommand() const { return std::nullopt; }
    // The rights the parsed command needs, as its window asks for them (by
    // default its window command's); the tool refuses with the windows'
    // message when one is missing.
    virtual QStringList rights() const {
        return windowCommand() ? commandRights(*windowCommand()) : QStringList();
    }
    // Returns an exit code; failures have been reported on standard error.
    virtual int run(Login& login, Progress& progress) = 0;
    // Draws pictures, so it needs fonts (a GUI application on the offscreen platform).
    virtual bool paints() const { return false; }
    // Runs SQLite's integrity check itself, so the quick check at login is left out.
    virtual bool checksFile() const { return false; }
    // Changes nothing at all, not even the work tables a previous run left.
    virtual bool readOnly() const { return false; }
    // How the command logs in: Copy reads the file as it lies (migrate).
    virtual Login::Use loginUse() const { return Login::Use::Session; }
    // The password the operator logged in with, for a command that logs in
    // again elsewhere (migrate, to the copy it made).
    virtual void takePassword(const QString& password) { Q_UNUSED(password); }
    // Works on the list of account sets, not inside one (create): it runs
    // through runAlone(), without --set and without anyone logging in.
    virtual bool standsAlone() const { return false; }
    virtual int runAlone() { return Failed; }
};

struct CommandInfo {
    QString name;
    QString summary; // one line for the tool's help
    QString help;    // the command's own help: usage, options, an example
    std::function<std::unique_ptr<Command>()> make;
};

// The commands the tool offers, in the order its help lists them.
const QList<CommandInfo>& commandList();
const CommandInfo* findCommand(const QString& name);

// The tool's own help.
QString toolHelp();

// The commands of each family (one file each).
QList<CommandInfo> backupCommands();
QList<CommandInfo> chartCommands();
QList<CommandInfo> createCommands();
QList<CommandInfo> exportCommands();
QList<CommandInfo> importCommands();
QList<CommandInfo> ledgerCommands();
QList<CommandInfo> migrateCommands();
QList<CommandInfo> reportCommands();
QList<CommandInfo> slipCommands();

} // namespace tl::cli
