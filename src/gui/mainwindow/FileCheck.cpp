#include "gui/mainwindow/FileCheck.h"

#include "core/data/AccountSetFile.h"
#include "core/support/Progress.h"
#include "gui/widgets/Dialogs.h"

namespace tl {

bool checkAccountSetFile(const Database& db, Progress& progress) {
    QString detail;
    progress.show(QStringLiteral("正在检查套帐文件……"), 1);
    const bool sound = AccountSetFile::quickCheck(db, &detail);
    progress.close();
    if (!sound)
        dialogs().error(AccountSetFile::damagedMessage(), detail);
    return sound;
}

} // namespace tl
