#include "data/NewAccountSet.h"

#include "data/AccountSetFile.h"
#include "data/AppPaths.h"
#include "data/Dialogs.h"
#include "data/Helpers.h"
#include "data/OpenDatabases.h"
#include "data/Registry.h"
#include "data/Schema.h"

#include <QFile>
#include <QFileInfo>

namespace tl {

NewAccountSet::NewAccountSet() : m_template(AppPaths::templatePath()) {}

NewAccountSet::NewAccountSet(Registry registry, QString templatePath)
    : m_registry(std::move(registry)), m_template(std::move(templatePath)) {}

bool NewAccountSet::create(const QString& typedName, const QString& typedPath) const {
    const QString name = typedName.trimmed();
    QString stored = typedPath.trimmed();
    if (name.isEmpty() || stored.isEmpty()) {
        dialogs().info(QStringLiteral("套账名称或保存文件不完整，请填写完整！"));
        return false;
    }
    if (!stored.startsWith(QLatin1Char('.')) && QFileInfo(stored).isRelative())
        stored = QFileInfo(stored).absoluteFilePath();
    const QString file = Registry::resolve(stored);
    // Registering the template would put whatever is added to that account set
    // into every account set created afterwards.
    if (AccountSetFile::isReserved(file)) {
        dialogs().info(AccountSetFile::reservedMessage());
        return false;
    }

    // The open account set itself may be pointed to (its check reads nothing
    // SQLite holds); its -wal, -shm or -journal never.
    if (OpenDatabases::find(file) == OpenDatabases::Held::Companion) {
        dialogs().info(OpenDatabases::refusal());
        return false;
    }

    bool copied = false;
    if (QFileInfo::exists(file)) {
        if (!Schema::isAccountSetFile(file)) {
            dialogs().info(QStringLiteral("该文件已经存在，而且不是套账，无法设为套账！"));
            return false;
        }
        if (!dialogs().question(QStringLiteral("该文件已经存在，是否把新建套账指向这个文件？")))
            return false;
    } else {
        if (!QFileInfo(m_template).isFile()) {
            dialogs().info(QStringLiteral("找不到套帐模板文件DB.lbk，无法建立新套帐！"));
            return false;
        }
        if (!copyFileReplacing(m_template, file)) {
            dialogs().info(QStringLiteral("无法建立套帐文件“") + file +
                           QStringLiteral("”，请检查保存的目录是否存在并且可以写入。"));
            return false;
        }
        copied = true;
    }
    if (m_registry.add(name, stored) == 0) {
        // Nobody can reach a copy that was never registered.
        if (copied)
            QFile::remove(file);
        return false;
    }
    return true;
}

} // namespace tl
