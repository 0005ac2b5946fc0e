#include "core/accounts/NewAccountSet.h"

#include "core/accounts/AppPaths.h"
#include "core/accounts/Registry.h"
#include "core/data/AccountSetFile.h"
#include "core/data/OpenDatabases.h"
#include "core/data/Schema.h"
#include "core/data/ServerAddress.h"
#include "core/support/Files.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace tl {

NewAccountSet::NewAccountSet() : m_template(AppPaths::templatePath()) {}

NewAccountSet::NewAccountSet(Registry registry, QString templatePath)
    : m_registry(std::move(registry)), m_template(std::move(templatePath)) {}

QString NewAccountSet::useExistingQuestion() {
    return QStringLiteral("该文件已经存在，是否把新建套账指向这个文件？");
}

QString NewAccountSet::nameCharsMessage() {
    return QStringLiteral("套账名称中不能有 / 或 \\，也不能有换行、制表符等控制字符，请修改！");
}

QString NewAccountSet::existingFileMessage(const QString& path) {
    return QStringLiteral("文件“%1”已经存在。新建套帐只建立新的文件，不会覆盖或登记已有的文件。")
        .arg(path);
}

QString NewAccountSet::unreadableTemplateMessage(const QString& path) {
    const QString reason = unreadableReason(path);
    return reason.isEmpty() ? QString() : QStringLiteral("无法读取套帐模板文件DB.lbk：") + reason;
}

namespace {
// A name is listed on one line of the login list, found by the command-line
// tool's --set and gives that tool's default file its name.
bool usableName(const QString& name) {
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char('\\') ||
               c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
               c.category() == QChar::Separator_Paragraph;
    });
}

// What a name and its place (a file or a server address) must be, wherever the
// account set lives: empty when both may be used.
QString nameRefusal(const QString& name, const QString& place, const QString& incomplete) {
    if (name.isEmpty() || place.isEmpty())
        return incomplete;
    return usableName(name) ? QString() : NewAccountSet::nameCharsMessage();
}
} // namespace

QString NewAccountSet::notEmptyMessage() {
    return QStringLiteral(
        "服务器上的这个数据库不是空的，不能在里面新建套帐。请另选一个空的数据库。");
}

QString NewAccountSet::alreadyAccountSetMessage() {
    return QStringLiteral(
        "服务器上的这个数据库里已经有套帐，不能再新建。要使用它，请选择“登记服务器上的套帐”。");
}

QString NewAccountSet::noAccountSetMessage() {
    return QStringLiteral("服务器上的这个数据库里没有套帐，无法登记。");
}

NewAccountSet::Result NewAccountSet::createOnServer(const QString& name, const QString& address,
                                                    Registry::Names names) const {
    return onServer(name, address, OnServer::Create, names);
}

NewAccountSet::Result NewAccountSet::registerOnServer(const QString& name, const QString& address,
                                                      Registry::Names names) const {
    return onServer(name, address, OnServer::Register, names);
}

NewAccountSet::Result NewAccountSet::onServer(const QString& typedName, const QString& typedAddress,
                                              OnServer action, Registry::Names names) const {
    Result result;
    auto refuse = [&](const QString& message) {
        result.outcome = Outcome::refused(message);
        return result;
    };
    const QString name = typedName.trimmed();
    const QString address = typedAddress.trimmed();
    if (const QString why =
            nameRefusal(name, address, QStringLiteral("套账名称或服务器地址不完整，请填写完整！"));
        !why.isEmpty())
        return refuse(why);
    ServerAddress parsed;
    QString problem;
    if (!ServerAddress::parse(address, parsed, &problem))
        return refuse(problem);

    Database::Connected c = Database::connectServer(address);
    if (!c.db) {
        result.serverPasswordNeeded = c.problem == Database::ConnectProblem::NeedsPassword ||
                                      c.problem == Database::ConnectProblem::WrongPassword;
        result.outcome =
            c.detail.isEmpty() ? Outcome::refused(c.message) : Outcome::failed(c.message, c.detail);
        return result;
    }
    try {
        const bool empty = c.db->tableNames().isEmpty();
        if (action == OnServer::Create) {
            if (!empty)
                return refuse(AccountSetFile::probe(address) == AccountSetFile::Verdict::AccountSet
                                  ? alreadyAccountSetMessage()
                                  : notEmptyMessage());
            // One transaction: a failure (another PC creating at the same
            // moment, no right to create tables) leaves the database empty.
            Schema::createAccountSet(*c.db);
        } else if (empty || AccountSetFile::probe(address) != AccountSetFile::Verdict::AccountSet) {
            return refuse(noAccountSetMessage());
        }
    } catch (const DbError& e) {
        result.outcome = Outcome::failed(e.userText(), e.detail());
        return result;
    }
    c.db.reset();
    result.created = m_registry.add(name, address, result.outcome, names) > 0;
    return result;
}

NewAccountSet::Result NewAccountSet::create(const QString& typedName, const QString& typedPath,
                                            Existing existing, Registry::Names names) const {
    Result result;
    auto refuse = [&](const QString& message) {
        result.outcome = Outcome::refused(message);
        return result;
    };
    const QString name = typedName.trimmed();
    QString stored = typedPath.trimmed();
    if (const QString why =
            nameRefusal(name, stored, QStringLiteral("套账名称或保存文件不完整，请填写完整！"));
        !why.isEmpty())
        return refuse(why);
    if (!stored.startsWith(QLatin1Char('.')) && QFileInfo(stored).isRelative())
        stored = QFileInfo(stored).absoluteFilePath();
    const QString file = Registry::resolve(stored);
    // Registering the template would put whatever is added to that account set
    // into every account set created afterwards.
    if (AccountSetFile::isReserved(file))
        return refuse(AccountSetFile::reservedMessage());

    // The open account set itself may be pointed to (its check reads nothing
    // SQLite holds); its -wal, -shm or -journal never.
    if (OpenDatabases::find(file) == OpenDatabases::Held::Companion)
        return refuse(OpenDatabases::refusal());

    bool copied = false;
    if (QFileInfo::exists(file)) {
        if (existing == Existing::Refuse)
            return refuse(existingFileMessage(file));
        if (!Schema::isAccountSetFile(file)) {
            // A file that is no database at all says so first, as opening it would.
            if (!Schema::isDatabaseFile(file))
                result.notice = QStringLiteral("数据库打开错误！");
            return refuse(QStringLiteral("该文件已经存在，而且不是套账，无法设为套账！"));
        }
        if (existing != Existing::Use) {
            result.needsConfirmation = true;
            return result;
        }
    } else {
        if (const QString unreadable = unreadableTemplateMessage(m_template); !unreadable.isEmpty())
            return refuse(unreadable);
        if (!QFileInfo(m_template).isFile())
            return refuse(QStringLiteral("找不到套帐模板文件DB.lbk，无法建立新套帐！"));
        if (!copyFileReplacing(m_template, file))
            return refuse(QStringLiteral("无法建立套帐文件“") + file +
                          QStringLiteral("”，请检查保存的目录是否存在并且可以写入。"));
        copied = true;
    }
    if (m_registry.add(name, stored, result.outcome, names) == 0) {
        // Nobody can reach a copy that was never registered.
        if (copied)
            QFile::remove(file);
        return result;
    }
    result.created = true;
    return result;
}

} // namespace tl
