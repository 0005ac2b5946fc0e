#include "cli/Command.h"
#include "cli/Console.h"
#include "core/accounts/Login.h"
#include "core/accounts/Rights.h"
#include "core/data/Backup.h"

#include <QDir>
#include <QFileInfo>

namespace tl::cli {
namespace {

class BackupCommand : public Command {
public:
    void parse(const QStringList& args) override {
        const Options options(args, {{}, {}, 1});
        m_target = options.positionals().at(0);
        if (m_target.isEmpty())
            throw UsageError(QStringLiteral("请填写备份文件的名称！"));
    }
    // A backup reads the account set and writes another file; it leaves the
    // work tables of a running window alone.
    bool readOnly() const override { return true; }
    // A full copy of the books, password hashes included.
    QStringList rights() const override { return {Rights::backupRight()}; }
    int run(Login& login, Progress& progress) override {
        backupAccountSet(*login.db, QFileInfo(m_target).absoluteFilePath(), progress);
        progress.close();
        return Done;
    }

private:
    QString m_target;
};

} // namespace

QList<CommandInfo> backupCommands() {
    return {{QStringLiteral("backup"), QStringLiteral("把套帐备份为一个完整一致的文件"),
             QStringLiteral(
                 "用法：tradeledger-cli --set 套帐 backup 文件\n"
                 "\n"
                 "与“文件”菜单的“备份套帐…”相同：即使程序正在使用这个套帐，也写出它某一时刻\n"
                 "完整一致的副本。先写到同一文件夹中的临时文件，完成后才替换同名文件；\n"
                 "失败时原有文件不变。备份文件只有所有者可以读写，可以直接作为套帐打开。\n"
                 "需要权限“备份套帐”。\n"
                 "\n"
                 "示例：\n"
                 "  tradeledger-cli --set 示例套帐 backup /srv/backup/示例套帐-$(date +%F).lbk\n"),
             [] { return std::make_unique<BackupCommand>(); }}};
}

} // namespace tl::cli
