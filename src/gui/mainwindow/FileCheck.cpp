#include "mainwindow/FileCheck.h"

#include "data/AccountSetFile.h"
#include "data/Progress.h"
#include "widgets/Dialogs.h"

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
