#include "gui/login/ServerPassword.h"

#include "core/data/Database.h"
#include "core/data/ServerAddress.h"
#include "gui/widgets/Dialogs.h"

namespace tl {

bool askServerPassword(const QString& address, const QString& why) {
    ServerAddress server;
    ServerAddress::parse(address, server);
    const QString text = why + QStringLiteral("\n\n请输入用户 %1 在服务器 %2 上的密码"
                                              "（只在本次运行中使用，不会保存）：")
                                   .arg(server.user, server.host);
    QString password;
    if (!dialogs().askPassword(text, password))
        return false;
    Database::rememberServerPassword(address, password);
    return true;
}

} // namespace tl
