#pragma once

#include "data/AccountSetFile.h"
#include "data/Database.h"
#include "data/Session.h"

#include <QString>
#include <memory>
#include <optional>

namespace tl {

// A successful login: who is logged in and the account set, opened.
struct Login {
    Session session;
    std::unique_ptr<Database> db;
    // False when the whole-file check was left for later (AccountSetFile::Check):
    // the caller runs AccountSetFile::quickCheck once its window is up.
    bool integrityChecked = true;

    // Checks the operator against the account set's Staff table. Every failure
    // has been shown as a message when the result is empty:
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
    // reading, after a notice.
    static std::optional<Login>
    authenticate(const QString& databasePath, const QString& name, const QString& password,
                 AccountSetFile::Check check = AccountSetFile::Check::Now);
};

} // namespace tl
