#include "cli/CliSession.h"

#include "cli/Console.h"
#include "core/accounts/AppPaths.h"
#include "core/accounts/Registry.h"
#include "core/accounts/Rights.h"
#include "core/data/Schema.h"
#include "core/data/ServerAddress.h"
#include "core/masterdata/MasterRecord.h"

#include <QFileInfo>
#include <QtGlobal>

namespace tl::cli {

QString resolveAccountSet(const QString& set) {
    if (QFileInfo(set).isFile() || ServerAddress::isAddress(set))
        return set;
    // No registry: the first start has said why it could not make one.
    if (!QFileInfo::exists(AppPaths::registryPath()))
        return {};
    Outcome outcome;
    const QList<RegistryEntry> entries = Registry().list(outcome);
    if (!outcome) {
        // A registry that cannot be read hides every name: say so, not "not found".
        printOutcome(outcome);
        return {};
    }
    for (const RegistryEntry& e : entries)
        if (e.name == set)
            return e.path;
    printError(QStringLiteral("找不到套帐“%1”：没有这个文件，也没有登记这个名字的套帐。").arg(set));
    return {};
}

std::optional<Login> logIn(const QString& set, const QString& user, AccountSetFile::Check check,
                           Login::Use use, QString* typed) {
    const QString path = resolveAccountSet(set);
    if (path.isEmpty())
        return std::nullopt;
    const QString password = qEnvironmentVariableIsSet("TRADELEDGER_PASSWORD")
                                 ? qEnvironmentVariable("TRADELEDGER_PASSWORD")
                                 : readPassword(QStringLiteral("用户 %1 的密码：").arg(user));
    LoginAttempt attempt = Login::authenticate(path, user, password, check, use);
    printOutcome(attempt.outcome);
    std::optional<Login>& login = attempt.login; // moved out below
    if (!login)
        return std::nullopt;
    if (typed)
        *typed = password;
    if (use == Login::Use::Copy)
        return std::move(login);
    try {
        Schema::upgrade(*login->db, &login->session);
    } catch (const DbError& e) {
        // Core throws; the tool says it on standard error and the caller exits 1.
        printFailure(e.userText(), e.detail());
        return std::nullopt;
    }
    return std::move(login);
}

bool requireRights(const Session& session, const QStringList& rights) {
    for (const QString& right : rights) {
        if (right.isEmpty() || Rights::test(session.rights, right))
            continue;
        printError(noRightMessage() + QStringLiteral("（需要权限“%1”）").arg(right));
        return false;
    }
    return true;
}

} // namespace tl::cli
