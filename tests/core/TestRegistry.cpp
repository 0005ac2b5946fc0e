#include "data/AppPaths.h"
#include "data/Registry.h"
#include "support/ScriptedDialogs.h"
#include "support/TestTools.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tl;

class TestRegistry : public QObject {
    Q_OBJECT
private slots:
    void init();
    void listsNewestFirstWithDotPathsExpanded();
    void missingOrBrokenRegistry();
    void removeForgetsOneRow();
    void checkCountsMissingFilesAnsweredEitherWay();

private:
    static void touch(const QString& path) { test::writeFile(path, {}); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRegistry::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    AppPaths::setProgramFolder(m_dir->path());
}

void TestRegistry::listsNewestFirstWithDotPathsExpanded() {
    test::ScriptedDialogs dialogs;
    Registry registry;
    QVERIFY(!QFile::exists(registry.path()));
    const int a = registry.add("甲公司", "/data/a.lbk");
    const int b = registry.add("乙公司", "./b.lbk");
    const int c = registry.add("O'Brien \"丙\"", ".\\sub\\c.lbk");
    QVERIFY(a > 0 && b > a && c > b);
    QVERIFY(QFile::exists(registry.path())); // the first add creates the registry

    const QList<RegistryEntry> list = registry.list();
    QCOMPARE(list.size(), 3);
    QCOMPARE(list[0].name, QString("O'Brien \"丙\""));
    QCOMPARE(list[0].path, m_dir->path() + "/sub/c.lbk");
    QCOMPARE(list[1].storedPath, QString("./b.lbk"));
    QCOMPARE(list[1].path, m_dir->path() + "/b.lbk");
    QCOMPARE(list[2].path, QString("/data/a.lbk"));
    // The registry dates each row itself.
    const QDate dated = QDate::fromString(list[2].date, Qt::ISODate);
    QVERIFY(dated.isValid());
    QVERIFY(qAbs(dated.daysTo(QDate::currentDate())) <= 1);

    // The same file registered twice is listed twice.
    registry.add("甲公司", "/data/a.lbk");
    QCOMPARE(registry.list().size(), 4);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestRegistry::missingOrBrokenRegistry() {
    test::ScriptedDialogs dialogs;
    Registry missing;
    QVERIFY(missing.list().isEmpty());
    QCOMPARE(dialogs.messages, QStringList{"数据库打开错误！"});
    QVERIFY(!QFile::exists(missing.path())); // listing never creates it

    test::writeFile(missing.path(),
                    "not a registry at all, only some text long enough for a database header\n");
    dialogs.clear();
    QVERIFY(missing.list().isEmpty());
    QCOMPARE(dialogs.messages, QStringList{"数据库打开错误！"});
    dialogs.clear();
    QCOMPARE(missing.add("甲", "/x.lbk"), 0);
    QCOMPARE(dialogs.messages, QStringList{"数据库打开错误！"});
    QCOMPARE(missing.checkFiles(), 0);

    // An empty file gets its table back and works.
    test::writeFile(missing.path(), {});
    dialogs.clear();
    QVERIFY(missing.list().isEmpty());
    QVERIFY(dialogs.messages.isEmpty());
    QVERIFY(missing.add("甲", "/x.lbk") > 0);
    QCOMPARE(missing.list().size(), 1);
}

void TestRegistry::removeForgetsOneRow() {
    test::ScriptedDialogs dialogs;
    Registry registry;
    const int a = registry.add("甲", "/a.lbk");
    const int b = registry.add("乙", "/b.lbk");
    QVERIFY(registry.remove(a));
    QVERIFY(!registry.remove(a));
    const auto list = registry.list();
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].id, b);
}

void TestRegistry::checkCountsMissingFilesAnsweredEitherWay() {
    test::ScriptedDialogs dialogs;
    Registry registry;
    touch(m_dir->path() + "/here.lbk");
    registry.add("本地", "./here.lbk");
    registry.add("丢失一", "./gone.lbk");
    registry.add("丢失二", m_dir->path() + "/nowhere/x.lbk");
    registry.add("目录", m_dir->path()); // a folder is no data file

    // The "." path is the program folder's wherever the program was started from.
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    touch(elsewhere.path() + "/gone.lbk");

    QVERIFY(!Registry::fileMissing("./here.lbk"));
    dialogs.answer(true);  // forget 丢失一
    dialogs.answer(false); // keep 丢失二
    dialogs.answer(true);  // forget 目录
    const int missing = registry.checkFiles();
    QDir::setCurrent(previous);

    QCOMPARE(missing, 3);
    QCOMPARE(dialogs.questions, (QStringList{"套帐“丢失一”的数据文件不存在，是否删除此套账？",
                                             "套帐“丢失二”的数据文件不存在，是否删除此套账？",
                                             "套帐“目录”的数据文件不存在，是否删除此套账？"}));
    QStringList names;
    for (const RegistryEntry& e : registry.list())
        names << e.name;
    QCOMPARE(names, (QStringList{"丢失二", "本地"}));
    dialogs.clear();
    QCOMPARE(registry.checkFiles(), 1); // 丢失二 is still missing
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "TestRegistry.moc"
