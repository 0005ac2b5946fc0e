#include "data/AppPaths.h"
#include "data/Database.h"
#include "data/NewAccountSet.h"
#include "data/Registry.h"
#include "data/Schema.h"
#include "support/ScriptedDialogs.h"
#include "support/TestTools.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tl;

namespace {
const QString kIncomplete = "套账名称或保存文件不完整，请填写完整！";
const QString kNotASet = "该文件已经存在，而且不是套账，无法设为套账！";
const QString kPointTo = "该文件已经存在，是否把新建套账指向这个文件？";
} // namespace

class TestNewAccountSet : public QObject {
    Q_OBJECT
private slots:
    void init();
    void createsFromTemplateAndRegisters();
    void incompleteInputRegistersNothing();
    void existingFiles();
    void missingTemplateOrUnwritableFolder();
    void relativePaths();

private:
    QStringList registeredNames() const {
        QStringList names;
        for (const RegistryEntry& e : Registry().list())
            names << e.name;
        return names;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_template;
};

void TestNewAccountSet::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    AppPaths::setProgramFolder(m_dir->path());
    m_template = m_dir->path() + "/DB.lbk";
    QVERIFY(QFile::copy(qEnvironmentVariable("TL_TEMPLATE"), m_template));
}

void TestNewAccountSet::createsFromTemplateAndRegisters() {
    test::ScriptedDialogs dialogs;
    const QString path = m_dir->path() + "/公司A.lbk";
    QVERIFY(NewAccountSet().create("  公司'A'  ", "  " + path + " "));
    QVERIFY(dialogs.messages.isEmpty() && dialogs.questions.isEmpty());
    QVERIFY(Schema::isAccountSetFile(path));
    QCOMPARE(QFile(path).permissions() &
                 (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
             QFile::Permissions());
    QCOMPARE(Registry().list().value(0).storedPath, path);

    QVERIFY(NewAccountSet().create("公司B", m_dir->path() + "/b.lbk"));
    QCOMPARE(registeredNames(), (QStringList{"公司B", "公司'A'"})); // the new one first
}

void TestNewAccountSet::incompleteInputRegistersNothing() {
    test::ScriptedDialogs dialogs;
    QVERIFY(!NewAccountSet().create("", m_dir->path() + "/x.lbk"));
    QVERIFY(!NewAccountSet().create("甲", "   "));
    QCOMPARE(dialogs.messages, (QStringList{kIncomplete, kIncomplete}));
    QVERIFY(!QFile::exists(m_dir->path() + "/x.lbk"));
    QVERIFY(!QFile::exists(Registry().path()));
}

void TestNewAccountSet::existingFiles() {
    test::ScriptedDialogs dialogs;
    const QString textPath = test::writeFile(
        m_dir->path() + "/readme.txt",
        "some notes that must survive, long enough to look like a database header\n");
    QVERIFY(!NewAccountSet().create("甲", textPath));
    QCOMPARE(dialogs.messages, (QStringList{"数据库打开错误！", kNotASet}));
    QVERIFY(test::readFile(textPath).startsWith("some notes"));

    // A database that is not an account set: refused without the opening error.
    {
        auto other =
            Database::open(m_dir->path() + "/other.db", Database::OpenMode::CreateIfMissing);
        other->exec("CREATE TABLE Customer (CID INTEGER, RID INTEGER, Name TEXT)");
    }
    dialogs.clear();
    QVERIFY(!NewAccountSet().create("乙", m_dir->path() + "/other.db"));
    QCOMPARE(dialogs.messages, QStringList{kNotASet});

    // An existing account set is pointed to, unchanged, only after Yes.
    QFile::copy(m_template, m_dir->path() + "/old.lbk");
    {
        auto old = Database::open(m_dir->path() + "/old.lbk");
        old->exec("INSERT INTO Region (Region) VALUES ('保留的数据')");
    }
    dialogs.clear();
    dialogs.answer(false);
    QVERIFY(!NewAccountSet().create("旧帐", m_dir->path() + "/old.lbk"));
    QCOMPARE(dialogs.questions, QStringList{kPointTo});
    dialogs.answer(true);
    QVERIFY(NewAccountSet().create("旧帐", m_dir->path() + "/old.lbk"));
    QVERIFY(dialogs.messages.isEmpty());
    auto old = Database::open(m_dir->path() + "/old.lbk");
    QCOMPARE(old->value("SELECT Region FROM Region").toString(), QString("保留的数据"));
    QCOMPARE(registeredNames(), QStringList{"旧帐"});
}

void TestNewAccountSet::missingTemplateOrUnwritableFolder() {
    test::ScriptedDialogs dialogs;
    const NewAccountSet noTemplate(Registry(), m_dir->path() + "/none/DB.lbk");
    QVERIFY(!noTemplate.create("甲", m_dir->path() + "/a.lbk"));
    QCOMPARE(dialogs.messages, QStringList{"找不到套帐模板文件DB.lbk，无法建立新套帐！"});
    QVERIFY(!QFile::exists(m_dir->path() + "/a.lbk"));

    dialogs.clear();
    QVERIFY(!NewAccountSet().create("乙", m_dir->path() + "/no/such/folder/b.lbk"));
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(dialogs.messages[0].contains("无法建立套帐文件"));
    QVERIFY(!QFile::exists(Registry().path()));

    // A registry that cannot be written leaves no orphan copy behind.
    test::writeFile(Registry().path(),
                    "this registry is broken and holds nothing but this line of text\n");
    dialogs.clear();
    QVERIFY(!NewAccountSet().create("丙", m_dir->path() + "/c.lbk"));
    QCOMPARE(dialogs.messages, QStringList{"数据库打开错误！"});
    QVERIFY(!QFile::exists(m_dir->path() + "/c.lbk"));
}

void TestNewAccountSet::relativePaths() {
    test::ScriptedDialogs dialogs;
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    // "." is the program folder, as the login list reads it.
    QVERIFY(NewAccountSet().create("点", "./dot.lbk"));
    QVERIFY(QFile::exists(m_dir->path() + "/dot.lbk"));
    QVERIFY(!QFile::exists(elsewhere.path() + "/dot.lbk"));
    // Any other relative path is kept in full.
    QVERIFY(NewAccountSet().create("相对", "rel.lbk"));
    QDir::setCurrent(previous);
    QVERIFY(QFile::exists(elsewhere.path() + "/rel.lbk"));
    const auto list = Registry().list();
    QCOMPARE(list[0].storedPath, QDir(elsewhere.path()).absoluteFilePath("rel.lbk"));
    QCOMPARE(list[1].storedPath, QString("./dot.lbk"));
    QCOMPARE(list[1].path, m_dir->path() + "/dot.lbk");
}

QTEST_GUILESS_MAIN(TestNewAccountSet)
#include "TestNewAccountSet.moc"
