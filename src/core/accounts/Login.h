#pragma once

#include "core/accounts/Session.h"
#include "core/data/AccountSetFile.h"
#include "core/data/Database.h"

#include <QString>
#include <memory>
#include <optional>

namespace tl {

struct LoginAttempt;

// A successful login: who is logged in and the account set, opened.
struct Login {
    Session session;
    std::unique_ptr<Database> db;
    // False when the whole-file check was left for later (AccountSetFile::Check):
    // the caller runs AccountSetFile::quickCheck once its window is up.
    bool integrityChecked = true;

    // Checks the operator against the account set's Staff table. When login
    // is empty the outcome says why:
    //  - no path or no file: "该套帐的数据文件不存在，请检查数据文件是否被删除或移走。"
    //  - empty name or password: "请输入用户名或密码！"
    //  - no operator with this name and password: "用户名或密码错，请重新输入！"
    //  - a file that does not open as an account set, the template or the
    //    registry, a damaged file: the messages of AccountSetFile::openChecked.
    // Until the operator is found the file is only read as it lies: a refused
    // login leaves its bytes and its folder unchanged.
    // The name matches without regard to case, the password exactly. A password
    // still stored as plain text (older files, the template's admin) is
    // replaced by its hash once it has matched. A read-only file logs in for
    // reading; the outcome is then Ok with AccountSetFile::readOnlyNotice() as
    // its message, for the caller to show.
    // Use::Copy logs in to read the account set as it lies and copy it: the
    // file stays exactly as it was (a plain password is not replaced by its
    // hash, the session reads through the checking connection) and the
    // template may be read too.
    enum class Use { Session, Copy };
    static LoginAttempt authenticate(const QString& databasePath, const QString& name,
                                     const QString& password,
                                     AccountSetFile::Check check = AccountSetFile::Check::Now,
                                     Use use = Use::Session);
};

struct LoginAttempt {
    std::optional<Login> login;
    Outcome outcome;
    // An account set on a server that wants a password for its database:
    // ask for it (Database::rememberServerPassword) and try again.
    bool serverPasswordNeeded = false;
};

} // namespace tl
