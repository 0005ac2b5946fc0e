#include "data/Database.h"
#include "data/Progress.h"
#include "data/Schema.h"
#include "mainwindow/BackupDialog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tl;

class TestBackupDialog : public QObject {
    Q_OBJECT
private slots:
    void replacesOnlyAfterYes();
};

void TestBackupDialog::replacesOnlyAfterYes() {
    test::ScriptedDialogs dialogs;
    test::TestAccountSet set;
    BackupDialog dialog(set.db(), Progress::silent());
    // A dated name beside the account set is proposed.
    const QString proposed = QDir::fromNativeSeparators(dialog.pathBox()->text());
    QVERIFY(proposed.startsWith(set.folder() + "/test-备份-") && proposed.endsWith(".lbk"));

    const QString target = test::writeFile(set.folder() + "/old.lbk", "keep me");
    dialog.pathBox()->setText(QDir::toNativeSeparators(target));
    QVERIFY(!dialog.backup()); // No: the file stays
    QCOMPARE(dialogs.questions.last(),
             "文件“" + QDir::toNativeSeparators(target) + "”已经存在，是否用新的备份替换它？");
    QVERIFY(!Schema::isAccountSetFile(target));
    dialogs.answer(true);
    QVERIFY(dialog.backup());
    QVERIFY(Schema::isAccountSetFile(target));
    QCOMPARE(dialogs.lastMessage(), "套帐已备份到：\n" + QDir::toNativeSeparators(target));

    // A failure is reported in Chinese, the dialog stays open.
    dialog.pathBox()->setText(set.folder() + "/no/such/folder/x.lbk");
    QVERIFY(!dialog.backup());
    QVERIFY(dialogs.lastMessage().startsWith("无法写入备份文件"));
    dialog.pathBox()->clear();
    QVERIFY(!dialog.backup());
    QCOMPARE(dialogs.lastMessage(), QString("请填写备份文件的名称！"));
}

QTEST_MAIN(TestBackupDialog)
#include "TestBackupDialog.moc"
