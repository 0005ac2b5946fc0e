#include "core/accounts/Login.h"

#include "core/accounts/Passwords.h"
#include "core/data/ServerAddress.h"
#include "core/values/Numbers.h"

#include <QFileInfo>
#include <QSqlQuery>

namespace tl {

namespace {

struct StaffRow {
    QString uid;
    QString name;
    QString rights;
    QString stored;
};

// A plain password that has just matched is stored as its hash. A file that
// cannot be written keeps it; the next login tries again.
void hashPlainPassword(const Database& db, const QString& uid, const QString& password) {
    if (db.isReadOnly())
        return;
    try {
        const QString hash = Passwords::hash(password);
        Transaction t(db);
        db.exec(QStringLiteral("UPDATE Staff SET PSD=? WHERE UID=?"), {hash, uid});
        t.commit();
    } catch (const DbError&) {
        // Only the upgrade of the stored password failed: the login stands,
        // and the next one tries again.
    }
}

} // namespace

LoginAttempt Login::authenticate(const QString& databasePath, const QString& name,
                                 const QString& password, AccountSetFile::Check check, Use use) {
    LoginAttempt attempt;
    auto refuse = [&](const QString& message) {
        attempt.outcome = Outcome::refused(message);
        return std::move(attempt);
    };
    const bool onServer = ServerAddress::isAddress(databasePath);
    if (databasePath.isEmpty() || (!onServer && !QFileInfo(databasePath).isFile()))
        return refuse(QStringLiteral("该套帐的数据文件不存在，请检查数据文件是否被删除或移走。"));
    if (name.isEmpty() || password.isEmpty())
        return refuse(QStringLiteral("请输入用户名或密码！"));
    check = AccountSetFile::resolve(databasePath, check);
    // The password is checked before anything may change the file, so a
    // refused login leaves it (and its folder) exactly as it was.
    Database::ConnectProblem problem = Database::ConnectProblem::None;
    std::unique_ptr<Database> reader = AccountSetFile::openChecked(
        databasePath, attempt.outcome, check, &problem, use == Use::Copy);
    if (!reader) {
        attempt.serverPasswordNeeded = problem == Database::ConnectProblem::NeedsPassword ||
                                       problem == Database::ConnectProblem::WrongPassword;
        return attempt;
    }
    std::optional<StaffRow> found;
    try {
        // Names compare as every name does, without regard to case; older files
        // may hold two spellings of one name, so each is tried in turn.
        QList<StaffRow> rows;
        QSqlQuery q = reader->run(QStringLiteral("SELECT UID, Name, \"Right\", PSD FROM Staff "
                                                 "WHERE %1=%2 ORDER BY UID")
                                      .arg(Database::caseless(QStringLiteral("Name")),
                                           Database::caseless(QStringLiteral("?"))),
                                  {name});
        while (q.next())
            rows.append({toText(q.value(0)), toText(q.value(1)), q.value(2).toString(),
                         q.value(3).toString()});
        q.finish();
        for (const StaffRow& row : std::as_const(rows)) {
            if (Passwords::matches(row.stored, password)) {
                found = row;
                break;
            }
        }
    } catch (const DbError&) {
        // An SQLite file without the operators table is no account set.
        return refuse(QStringLiteral("数据库打开错误！"));
    }
    if (!found)
        return refuse(QStringLiteral("用户名或密码错，请重新输入！"));
    Login login;
    if (onServer || use == Use::Copy) {
        // A server's connection serves the session as it is; a copy reads
        // the file through the connection that changes nothing.
        login.db = std::move(reader);
    } else {
        reader.reset(); // the checking connection goes before the file changes mode
        login.db = AccountSetFile::openForSession(databasePath, attempt.outcome);
    }
    if (!login.db)
        return attempt;
    login.db->setOperatorName(found->name);
    login.integrityChecked = check == AccountSetFile::Check::Now;
    if (!Passwords::isHash(found->stored) && use == Use::Session)
        hashPlainPassword(*login.db, found->uid, password);
    if (login.db->isReadOnly() && use == Use::Session)
        attempt.outcome.message = AccountSetFile::readOnlyNotice();
    login.session.databasePath =
        onServer ? databasePath.trimmed() : QFileInfo(databasePath).absoluteFilePath();
    login.session.operatorId = found->uid;
    login.session.operatorName = found->name;
    login.session.rights = found->rights;
    attempt.login = std::move(login);
    return attempt;
}

} // namespace tl
