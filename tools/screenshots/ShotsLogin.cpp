// The login window, the new-account-set window and the progress window.
#include "Shots.h"

#include "gui/login/NewDbWindow.h"
#include "gui/login/StartWindow.h"
#include "gui/widgets/ProgressWindow.h"

#include <QAbstractButton>
#include <QLabel>

SHOTS(10, "login") {
    tl::StartWindow start;
    ctx.save(&start, QStringLiteral("登录"));

    tl::NewDbWindow newDb;
    ctx.save(&newDb, QStringLiteral("建立新套帐"));
    newDb.findChild<QAbstractButton*>(QStringLiteral("whereNewOnServer"))->click();
    ctx.save(&newDb, QStringLiteral("建立新套帐-服务器"));

    tl::ProgressWindow progress;
    QLabel status;
    progress.setStatusLabel(&status);
    progress.show(QStringLiteral("正在统计库存价值……"), 40);
    progress.step(26);
    ctx.save(progress.window(), QStringLiteral("进度"));
    progress.offerCancel(true);
    progress.show(QStringLiteral("正在打印第 3 页，共 21 页"), 21);
    progress.step(2);
    ctx.save(progress.window(), QStringLiteral("进度-可取消"));
    progress.offerCancel(false);
    progress.close();
}
