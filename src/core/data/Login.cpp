#include "data/Login.h"

#include "data/Dialogs.h"
#include "data/Helpers.h"

#include <QFileInfo>
#include <QSqlQuery>

namespace tl {

std::optional<Login> Login::authenticate(const QString& databasePath, const QString& name,
                                         const QString& password) {
    if (databasePath.isEmpty() || !QFileInfo(databasePath).isFile()) {
        dialogs().info(QStringLiteral("该套帐的数据文件不存在，请检查数据文件是否被删除或移走。"));
        return std::nullopt;
    }
    if (name.isEmpty() || password.isEmpty()) {
        dialogs().info(QStringLiteral("请输入用户名或密码！"));
        return std::nullopt;
    }
    Login login;
    login.db = Database::open(databasePath);
    if (!login.db)
        return std::nullopt;
    try {
        // Names compare as every name does (the column ignores case); a password
        // must be typed exactly as it was set.
        QSqlQuery q = login.db->run(QStringLiteral("SELECT UID, Name, \"Right\" FROM Staff "
                                                   "WHERE Name=? AND PSD=? COLLATE BINARY "
                                                   "ORDER BY UID LIMIT 1"),
                                    {name, password});
        if (!q.next()) {
            dialogs().info(QStringLiteral("用户名或密码错，请重新输入！"));
            return std::nullopt;
        }
        login.session.databasePath = QFileInfo(databasePath).absoluteFilePath();
        login.session.operatorId = toText(q.value(0));
        login.session.operatorName = toText(q.value(1));
        login.session.rights = q.value(2).toString();
    } catch (const DbError&) {
        // An SQLite file without the operators table is no account set.
        dialogs().info(QStringLiteral("数据库打开错误！"));
        return std::nullopt;
    }
    return login;
}

} // namespace tl
