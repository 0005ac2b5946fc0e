#include "gui/mainwindow/BackupDialog.h"

#include "core/accounts/AppPaths.h"
#include "core/data/Backup.h"
#include "core/data/Database.h"
#include "core/data/ServerAddress.h"
#include "gui/widgets/DialogButtons.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/Guard.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tl {

BackupDialog::BackupDialog(const Database& db, Progress& progress, QWidget* parent)
    : QDialog(parent), m_db(db), m_progress(progress) {
    setObjectName(QStringLiteral("Backup"));
    setWindowTitle(QStringLiteral("备份套帐"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto* note =
        new QLabel(QStringLiteral("把当前套帐的完整副本写入下面的文件。程序运行时也可以随时备份，"
                                  "正在保存的内容不会丢失。请把备份文件另存到其他磁盘或U盘上。"),
                   this);
    note->setWordWrap(true);

    // Beside the account set, or in the home folder when that folder is read-only.
    // One on a server is named after its database, in the documents folder.
    ServerAddress server;
    const QString named = ServerAddress::parse(db.path(), server)
                              ? AppPaths::documentsFolder() + QLatin1Char('/') + server.database +
                                    QStringLiteral(".lbk")
                              : db.path();
    QString proposed = defaultBackupPath(named, QDateTime::currentDateTime());
    if (!QFileInfo(QFileInfo(proposed).absolutePath()).isWritable())
        proposed = QDir::homePath() + QLatin1Char('/') + QFileInfo(proposed).fileName();
    m_path = new QLineEdit(QDir::toNativeSeparators(proposed), this);
    m_path->setObjectName(QStringLiteral("path"));
    m_path->setMinimumWidth(420);
    auto* browse = new QPushButton(QStringLiteral("浏览…"), this);
    browse->setObjectName(QStringLiteral("browse"));
    browse->setAutoDefault(false);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->addWidget(new QLabel(QStringLiteral("备份文件："), this), 0, 0, Qt::AlignRight);
    fields->addWidget(m_path, 0, 1);
    fields->addWidget(browse, 0, 2);
    fields->setColumnStretch(1, 1);

    const auto [ok, cancel, buttons] =
        dialogButtons(this, QStringLiteral("备   份"), QStringLiteral("backupButton"),
                      QStringLiteral("cancelButton"));

    layOutDialog(this, note, fields, buttons, 14);

    connect(browse, &QPushButton::clicked, this, &BackupDialog::browse);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (backup())
            accept();
    });
    setTabOrder(m_path, browse);
    setTabOrder(browse, ok);
    setTabOrder(ok, cancel);
    m_path->setFocus();
}

void BackupDialog::browse() {
    const QString file = dialogs().saveFileName(QStringLiteral("备份套帐"),
                                                QStringLiteral("套帐文件 (*.lbk);;所有文件 (*)"));
    if (!file.isEmpty())
        m_path->setText(QDir::toNativeSeparators(file));
}

bool BackupDialog::backup() {
    const QString path = QDir::fromNativeSeparators(m_path->text().trimmed());
    if (path.isEmpty()) {
        dialogs().info(QStringLiteral("请填写备份文件的名称！"));
        m_path->setFocus();
        return false;
    }
    if (QFileInfo::exists(path) &&
        !dialogs().question(QStringLiteral("文件“") + QDir::toNativeSeparators(path) +
                            QStringLiteral("”已经存在，是否用新的备份替换它？")))
        return false;
    if (!guarded([&] { backupAccountSet(m_db, path, m_progress); }))
        return false;
    dialogs().info(QStringLiteral("套帐已备份到：\n") + QDir::toNativeSeparators(path));
    return true;
}

} // namespace tl
