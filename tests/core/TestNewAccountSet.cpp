#include "data/AppPaths.h"
#include "data/Database.h"
#include "data/NewAccountSet.h"
#include "data/Registry.h"
#include "data/Schema.h"
#include "support/TestTools.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tl;

class TestNewAccountSet : public QObject {
    Q_OBJECT
private slots:
    void init();
    void createsFromTemplateAndRegisters();
    void refusalsLeaveNothingBehind();
    void existingAccountSetOnlyAfterConfirmation();

private:
    static QList<RegistryEntry> registered() {
        Outcome outcome;
        return Registry().list(outcome);
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
    const QString path = m_dir->path() + "/公司A.lbk";
    const auto made = NewAccountSet().create("  公司'A'  ", "  " + path + " ");
    QVERIFY(made.created && made.outcome.isOk() && made.notice.isEmpty());
    QVERIFY(Schema::isAccountSetFile(path));
    QCOMPARE(QFile(path).permissions() &
                 (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
             QFile::Permissions());

    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    // "." is the program folder, as the login list reads it.
    QVERIFY(NewAccountSet().create("点", "./dot.lbk").created);
    QVERIFY(!QFile::exists(elsewhere.path() + "/dot.lbk"));
    // Any other relative path is kept in full.
    QVERIFY(NewAccountSet().create("相对", "rel.lbk").created);
    QDir::setCurrent(previous);
    QVERIFY(QFile::exists(elsewhere.path() + "/rel.lbk"));
    const auto list = registered(); // the newest first
    QCOMPARE(list.size(), 3);
    QCOMPARE(list[0].storedPath, QDir(elsewhere.path()).absoluteFilePath("rel.lbk"));
    QCOMPARE(list[1].storedPath, QString("./dot.lbk"));
    QCOMPARE(list[1].path, m_dir->path() + "/dot.lbk");
    QCOMPARE(list[2].name, QString("公司'A'"));
    QCOMPARE(list[2].storedPath, path);
}

void TestNewAccountSet::refusalsLeaveNothingBehind() {
    const QString notASet = "该文件已经存在，而且不是套账，无法设为套账！";
    const QString text = test::writeFile(
        m_dir->path() + "/readme.txt",
        "some notes that must survive, long enough to look like a database header\n");
    Database::open(m_dir->path() + "/other.db", Database::OpenMode::CreateIfMissing)
        ->exec("CREATE TABLE Customer (CID INTEGER, RID INTEGER, Name TEXT)");
    const QString x = m_dir->path() + "/x.lbk";
    const struct {
        QString templ, name, path, notice, message;
    } cases[] = {
        {m_template, "", x, "", "套账名称或保存文件不完整，请填写完整！"},
        {m_template, "甲", "   ", "", "套账名称或保存文件不完整，请填写完整！"},
        {m_template, "甲\n乙", x, "", NewAccountSet::nameCharsMessage()},
        // A file that is no database says so first, as opening it would.
        {m_template, "甲", text, "数据库打开错误！", notASet},
        {m_template, "乙", m_dir->path() + "/other.db", "", notASet},
        {m_dir->path() + "/none/DB.lbk", "甲", x, "", "找不到套帐模板文件DB.lbk，无法建立新套帐！"},
        {m_template, "乙", m_dir->path() + "/no/such/b.lbk", "",
         "无法建立套帐文件“" + m_dir->path() +
             "/no/such/b.lbk”，请检查保存的目录是否存在并且可以写入。"},
    };
    for (const auto& c : cases) {
        const auto made = NewAccountSet(Registry(), c.templ).create(c.name, c.path);
        QVERIFY(!made.created && !made.needsConfirmation);
        QCOMPARE(made.notice, c.notice);
        QCOMPARE(made.outcome.message, c.message);
    }
    QVERIFY(test::readFile(text).startsWith("some notes"));
    QVERIFY(!QFile::exists(x));
    QVERIFY(!QFile::exists(Registry().path()));

    // A registry that cannot be written leaves no orphan copy behind.
    test::writeFile(Registry().path(),
                    "this registry is broken and holds nothing but this line of text\n");
    const auto made = NewAccountSet().create("丙", m_dir->path() + "/c.lbk");
    QVERIFY(!made.created);
    QCOMPARE(made.outcome.message, QString("数据库打开错误！"));
    QVERIFY(!QFile::exists(m_dir->path() + "/c.lbk"));
}

void TestNewAccountSet::existingAccountSetOnlyAfterConfirmation() {
    const QString path = m_dir->path() + "/old.lbk";
    QFile::copy(m_template, path);
    Database::open(path)->exec("INSERT INTO Region (Region) VALUES ('保留的数据')");
    const auto asked = NewAccountSet().create("旧帐", path);
    QVERIFY(asked.needsConfirmation && !asked.created && asked.outcome.message.isEmpty());
    QVERIFY(!QFile::exists(Registry().path()));
    QVERIFY(NewAccountSet().create("旧帐", path, NewAccountSet::Existing::Use).created);
    QCOMPARE(Database::open(path)->value("SELECT Region FROM Region").toString(),
             QString("保留的数据"));
    QCOMPARE(registered().value(0).name, QString("旧帐"));
}

QTEST_GUILESS_MAIN(TestNewAccountSet)
#include "TestNewAccountSet.moc"
