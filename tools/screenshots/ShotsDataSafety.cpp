// The backup dialog and the messages of failures: a busy, read-only, full or
// damaged account set, refused values and deletions.
#include "Shots.h"

#include "core/data/AccountSetFile.h"
#include "core/data/Backup.h"
#include "core/data/Database.h"
#include "core/support/Progress.h"
#include "core/transactions/RecordStore.h"
#include "gui/mainwindow/BackupDialog.h"
#include "gui/widgets/QtDialogs.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>

namespace {

void saveInfo(shots::Context& ctx, const QString& text, const QString& name) {
    QMessageBox box(QMessageBox::Information, tl::programTitle(), text, QMessageBox::Ok);
    ctx.save(&box, name);
}

void saveError(shots::Context& ctx, const QString& text, const QString& detail, const QString& name,
               bool expanded = false) {
    auto box = tl::QtDialogs::errorBox(text, detail, nullptr);
    if (expanded) {
        box->show();
        for (QPushButton* b : box->findChildren<QPushButton*>()) {
            if (b->text() == QStringLiteral("详细信息"))
                b->click();
        }
        box->adjustSize();
    }
    ctx.save(box.get(), name);
}

} // namespace

SHOTS(80, "数据安全") {
    tl::BackupDialog backup(ctx.db, tl::Progress::silent());
    ctx.save(&backup, QStringLiteral("备份套帐"));

    using Kind = tl::DbError::Kind;
    const QString lockDetail = QStringLiteral("database is locked (SQLite 5)");
    saveError(ctx, tl::DbError::kindMessage(Kind::Busy), lockDetail, QStringLiteral("消息-套帐忙"));
    saveError(ctx, tl::DbError::kindMessage(Kind::Busy), lockDetail,
              QStringLiteral("消息-套帐忙-详细信息"), true);
    saveError(ctx, tl::DbError::kindMessage(Kind::ReadOnly),
              QStringLiteral("attempt to write a readonly database (SQLite 8)"),
              QStringLiteral("消息-只读保存"));
    saveError(ctx, tl::DbError::kindMessage(Kind::DiskFull),
              QStringLiteral("database or disk is full (SQLite 13)"),
              QStringLiteral("消息-磁盘满"));
    saveError(
        ctx, tl::AccountSetFile::damagedMessage(),
        QStringLiteral("*** in database main ***\nPage 12: btreeInitPage() returns error code 11"),
        QStringLiteral("消息-套帐损坏"));
    saveInfo(ctx, tl::AccountSetFile::readOnlyNotice(), QStringLiteral("消息-只读打开"));
    saveInfo(ctx, tl::AccountSetFile::reservedMessage(), QStringLiteral("消息-模板不能作套帐"));
    saveInfo(ctx, tl::RecordStore::checkQuantity(3e9), QStringLiteral("消息-数量超出范围"));
    saveInfo(ctx, tl::RecordStore::checkDate(QDate(1899, 12, 31)),
             QStringLiteral("消息-日期超出范围"));
    saveInfo(ctx,
             QStringLiteral("不能删除最后一个拥有“修改人员权限”的操作员，否则再也无法设置权限。"
                            "本次没有删除任何记录。"),
             QStringLiteral("消息-最后的管理员"));
    saveInfo(ctx,
             QStringLiteral("套帐已备份到：\n") + QDir::toNativeSeparators(tl::defaultBackupPath(
                                                      ctx.db.path(), QDateTime::currentDateTime())),
             QStringLiteral("消息-备份完成"));
}
