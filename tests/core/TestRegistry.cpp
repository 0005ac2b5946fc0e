#include "data/AppPaths.h"
#include "data/Registry.h"
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
    void missingFilesAreFoundAndForgotten();

private:
    QStringList names() const {
        Outcome outcome;
        QStringList names;
        for (const RegistryEntry& e : Registry().list(outcome))
            names << e.name;
        return names;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRegistry::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    AppPaths::setProgramFolder(m_dir->path());
}

void TestRegistry::listsNewestFirstWithDotPathsExpanded() {
    Registry registry;
    Outcome outcome;
    QVERIFY(!QFile::exists(registry.path()));
    const int a = registry.add("甲公司", "/data/a.lbk", outcome);
    const int b = registry.add("乙公司", "./b.lbk", outcome);
    const int c = registry.add("O'Brien \"丙\"", ".\\sub\\c.lbk", outcome);
    QVERIFY(a > 0 && b > a && c > b);
    QVERIFY(outcome.isOk());

    const QList<RegistryEntry> list = registry.list(outcome);
    QVERIFY(outcome.isOk());
    QCOMPARE(list.size(), 3);
    QCOMPARE(list[0].name, QString("O'Brien \"丙\""));
    QCOMPARE(list[0].path, m_dir->path() + "/sub/c.lbk");
    QCOMPARE(list[1].storedPath, QString("./b.lbk"));
    QCOMPARE(list[1].path, m_dir->path() + "/b.lbk");
    QCOMPARE(list[2].path, QString("/data/a.lbk"));
    // The registry dates each row itself.
    const QDate dated = QDate::fromString(list[2].date, Qt::ISODate);
    QVERIFY(qAbs(dated.daysTo(QDate::currentDate())) <= 1);

    // The same file registered twice is listed twice; forgetting touches one row.
    registry.add("甲公司", "/data/a.lbk", outcome);
    QVERIFY(registry.forget({b}).isOk());
    QCOMPARE(names(), (QStringList{"甲公司", "O'Brien \"丙\"", "甲公司"}));
}

void TestRegistry::missingOrBrokenRegistry() {
    Registry missing;
    Outcome outcome;
    QVERIFY(missing.list(outcome).isEmpty());
    QCOMPARE(outcome.message, QString("数据库打开错误！"));
    QVERIFY(!QFile::exists(missing.path())); // listing never creates it

    test::writeFile(missing.path(),
                    "not a registry at all, only some text long enough for a database header\n");
    Outcome listed, added, checked;
    QVERIFY(missing.list(listed).isEmpty());
    QCOMPARE(missing.add("甲", "/x.lbk", added), 0);
    QVERIFY(missing.missingFiles(checked).isEmpty());
    for (const Outcome& o : {listed, added, checked})
        QCOMPARE(o.message, QString("数据库打开错误！"));

    // An empty file gets its table back and works.
    test::writeFile(missing.path(), {});
    QVERIFY(missing.list(outcome).isEmpty());
    QVERIFY(outcome.isOk());
    QVERIFY(missing.add("甲", "/x.lbk", outcome) > 0);
    QCOMPARE(names(), QStringList{"甲"});
}

void TestRegistry::missingFilesAreFoundAndForgotten() {
    Registry registry;
    Outcome outcome;
    test::writeFile(m_dir->path() + "/here.lbk", {});
    registry.add("本地", "./here.lbk", outcome);
    registry.add("丢失一", "./gone.lbk", outcome);
    registry.add("丢失二", m_dir->path() + "/nowhere/x.lbk", outcome);
    registry.add("目录", m_dir->path(), outcome); // a folder is no data file

    // The "." path is the program folder's wherever the program was started from.
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    test::writeFile(elsewhere.path() + "/gone.lbk", {});
    const QList<RegistryEntry> missing = registry.missingFiles(outcome);
    QDir::setCurrent(previous);

    QVERIFY(outcome.isOk());
    QStringList absent;
    for (const RegistryEntry& e : missing)
        absent << e.name;
    QCOMPARE(absent, (QStringList{"丢失一", "丢失二", "目录"})); // registration order
    QCOMPARE(Registry::forgetQuestion("丢失一"),
             QString("套帐“丢失一”的数据文件不存在，是否删除此套账？"));
    QVERIFY(registry.forget({missing[0].id, missing[2].id}).isOk());
    QCOMPARE(names(), (QStringList{"丢失二", "本地"}));
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "TestRegistry.moc"
