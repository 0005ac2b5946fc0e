#include "cli/Command.h"
#include "cli/Console.h"
#include "core/accounts/Login.h"
#include "core/accounts/Rights.h"
#include "core/data/ServerAddress.h"
#include "core/transfer/Migration.h"

namespace tl::cli {
namespace {

class MigrateCommand : public Command {
public:
    void parse(const QStringList& args) override {
        const Options options(args, {{}, {}, 1});
        m_address = options.positionals().at(0);
        QString problem;
        ServerAddress parsed;
        if (!ServerAddress::isAddress(m_address) ||
            !ServerAddress::parse(m_address, parsed, &problem))
            throw UsageError(problem.isEmpty()
                                 ? QStringLiteral("请给出服务器上数据库的地址，形如 "
                                                  "postgresql://用户@服务器:5432/数据库。")
                                 : problem);
    }
    // The file is read as it lies and copied; nothing in it changes.
    bool readOnly() const override { return true; }
    Login::Use loginUse() const override { return Login::Use::Copy; }
    void takePassword(const QString& password) override { m_password = password; }
    // A full copy of the books, password hashes included, as a backup is.
    QStringList rights() const override { return {Rights::backupRight()}; }
    int run(Login& login, Progress& progress) override {
        const MigrationResult result = migrateAccountSet(
            *login.db, m_address, login.session.operatorName, m_password, progress);
        progress.close();
        for (const CopyProblem& p : result.problems)
            writeOut(QStringLiteral("表 %1，记录 %2，列 %3，值“%4”：%5\n")
                         .arg(p.table)
                         .arg(p.key)
                         .arg(p.column, p.value, p.reason)
                         .toUtf8());
        if (!result.problems.isEmpty()) {
            printError(QStringLiteral("套帐中有 %1 处数据不能迁移到服务器（见上），服务器上没有写入"
                                      "任何东西。请先改正这些数据再迁移。")
                           .arg(result.problems.size()));
            return Failed;
        }
        for (const auto& [table, rows] : result.copied)
            writeOut(QStringLiteral("%1\t%2 行\n").arg(table).arg(rows).toUtf8());
        printError(
            QStringLiteral("套帐已迁移到服务器并核对无误：%1\n套帐文件没有改动。").arg(m_address));
        return Done;
    }

private:
    QString m_address;
    QString m_password;
};

} // namespace

QList<CommandInfo> migrateCommands() {
    return {
        {QStringLiteral("migrate"), QStringLiteral("把套帐文件迁移到服务器上的空数据库"),
         QStringLiteral(
             "用法：tradeledger-cli --set 套帐文件 migrate postgresql://用户@服务器:5432/数据库\n"
             "\n"
             "把套帐文件中的全部数据复制到 PostgreSQL 服务器上的一个空数据库，供多台电脑\n"
             "同时使用。先检查文件中有没有服务器不能接受的数据（数字列中的文字、不是\n"
             "YYYY-MM-DD 的日期、无效的文字、同一仓库和产品的多行库存、只差大小写的操作员\n"
             "名），有则逐行列出并停止，服务器上不写入任何东西。复制后逐表核对行数、编号\n"
             "和数字合计，核对库存，并以同一操作员登录副本。套帐文件不会改动；迁移程序的\n"
             "模板 DB.lbk 得到服务器上的一个新的空套帐。服务器的密码取自 ~/.pgpass 或\n"
             "PGPASSWORD。需要权限“备份套帐”。\n"
             "\n"
             "示例：\n"
             "  tradeledger-cli --set /srv/books/shop.lbk migrate "
             "postgresql://tl_shop@192.168.1.10:5432/shop\n"),
         [] { return std::make_unique<MigrateCommand>(); }}};
}

} // namespace tl::cli
