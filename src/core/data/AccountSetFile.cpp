#include "core/data/AccountSetFile.h"

#include "core/accounts/AppPaths.h"
#include "core/data/Database.h"
#include "core/data/OpenDatabases.h"
#include "core/data/Schema.h"
#include "core/data/ServerAddress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

namespace tl {

namespace {

const QString kOpenError = QStringLiteral("数据库打开错误！");

// Every SQLite file begins with these 16 bytes; an empty file does not, so
// it is never mistaken for an empty database (which the first write would
// turn into one).
bool hasSqliteHeader(const QString& path) {
    // A file this process has open is not read again: closing our descriptor
    // would drop SQLite's locks on it. SQLite has it open, so it is SQLite.
    switch (OpenDatabases::find(path)) {
    case OpenDatabases::Held::Database:
        return true;
    case OpenDatabases::Held::Companion:
        return false;
    case OpenDatabases::Held::No:
        break;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

QString samePathKey(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

AccountSetFile::Verdict inspect(const Database& db) {
    using V = AccountSetFile::Verdict;
    try {
        // The engine finds tables and columns whatever their letter case.
        if (!db.tableExists(QStringLiteral("Customer"), Qt::CaseInsensitive))
            return V::NotAccountSet;
        const QStringList columns = db.columnNames(QStringLiteral("Customer"));
        for (const char* c : {"CID", "RID", "Name", "PC", "Websit"}) {
            if (!columns.contains(QString::fromLatin1(c), Qt::CaseInsensitive))
                return V::NotAccountSet;
        }
    } catch (const DbError& e) {
        return e.kind() == DbError::Kind::Damaged ? V::Damaged : V::NotAccountSet;
    }
    return V::AccountSet;
}

bool writable(const QString& path) {
    const QFileInfo file(path);
    // The WAL and its index are created beside the file.
    return file.isWritable() && QFileInfo(file.absolutePath()).isWritable();
}

} // namespace

bool AccountSetFile::isReserved(const QString& path) {
    if (path.trimmed().isEmpty())
        return false;
    const QString key = samePathKey(path);
    const QString exeDir = QCoreApplication::applicationDirPath();
    for (const QString& reserved :
         {AppPaths::templatePath(), AppPaths::registryPath(),
          AppPaths::programFolder() + QStringLiteral("/DB.lbk"), exeDir + QStringLiteral("/DB.lbk"),
          exeDir + QStringLiteral("/Parameter.mdb")}) {
        if (samePathKey(reserved) == key)
            return true;
    }
    return false;
}

AccountSetFile::Verdict AccountSetFile::probe(const QString& path) {
    if (ServerAddress::isAddress(path)) {
        auto db = Database::open(path, Database::OpenMode::Inspect);
        return db ? inspect(*db) : Verdict::Missing;
    }
    if (!QFileInfo(path).isFile())
        return Verdict::Missing;
    if (isReserved(path))
        return Verdict::Reserved;
    if (!hasSqliteHeader(path))
        return Verdict::NotAccountSet;
    auto db = Database::open(path, Database::OpenMode::Inspect);
    if (!db)
        return Verdict::Damaged;
    return inspect(*db);
}

AccountSetFile::Check AccountSetFile::resolve(const QString& path, Check check) {
    // A server looks after its own storage: there is no file to check.
    if (ServerAddress::isAddress(path))
        return Check::Now;
    if (check != Check::WhenSmall)
        return check;
    return QFileInfo(path).size() <= smallFileBytes ? Check::Now : Check::Later;
}

std::unique_ptr<Database> AccountSetFile::openChecked(const QString& path, Outcome& outcome,
                                                      Check check,
                                                      Database::ConnectProblem* problem,
                                                      bool templateAllowed) {
    check = resolve(path, check);
    auto fail = [&](const QString& message) -> std::unique_ptr<Database> {
        outcome = Outcome::refused(message);
        return nullptr;
    };
    if (ServerAddress::isAddress(path))
        return openOnServer(path, outcome, problem);
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("无法建立数据库连接！"));
    // The registry is no account set: it fails the inspection below.
    if (isReserved(path) && !templateAllowed)
        return fail(reservedMessage());
    if (!hasSqliteHeader(path))
        return fail(kOpenError);
    auto db = Database::open(path, Database::OpenMode::Inspect);
    if (!db)
        return fail(damagedMessage());
    switch (inspect(*db)) {
    case Verdict::AccountSet:
        break;
    case Verdict::Damaged:
        return fail(damagedMessage());
    default:
        return fail(kOpenError);
    }
    if (check == Check::Now) {
        QString detail;
        if (!quickCheck(*db, &detail)) {
            outcome = Outcome::failed(damagedMessage(), detail);
            return nullptr;
        }
    }
    outcome = Outcome::ok();
    return db;
}

std::unique_ptr<Database> AccountSetFile::openOnServer(const QString& address, Outcome& outcome,
                                                       Database::ConnectProblem* problem) {
    Database::Connected c = Database::connectServer(address);
    if (problem)
        *problem = c.problem;
    if (!c.db) {
        outcome = c.problem == Database::ConnectProblem::Unreachable
                      ? Outcome::failed(c.message, c.detail)
                      : Outcome::refused(c.message);
        return nullptr;
    }
    if (inspect(*c.db) != Verdict::AccountSet) {
        outcome = Outcome::refused(kOpenError);
        return nullptr;
    }
    // Every PC must run a program that knows the tables as they are.
    try {
        if (Schema::serverVersion(*c.db) > Schema::version) {
            outcome = Outcome::refused(newerServerMessage());
            return nullptr;
        }
    } catch (const DbError& e) {
        outcome = Outcome::failed(e.userText(), e.detail());
        return nullptr;
    }
    outcome = Outcome::ok();
    return std::move(c.db);
}

QString AccountSetFile::newerServerMessage() {
    return QStringLiteral(
        "服务器上的这个套帐由较新版本的本程序建立，请先把本机的程序更新到相同版本。");
}

std::unique_ptr<Database> AccountSetFile::openForSession(const QString& path, Outcome& outcome) {
    outcome = Outcome::ok();
    if (ServerAddress::isAddress(path))
        return openOnServer(path, outcome);
    if (writable(path)) {
        if (auto rw = Database::open(path, Database::OpenMode::Existing))
            return rw;
    }
    auto db = Database::open(path, Database::OpenMode::ReadOnly);
    if (!db)
        outcome = Outcome::failed(QStringLiteral("无法建立数据库连接！"));
    return db;
}

bool AccountSetFile::quickCheck(const Database& db, QString* detail) {
    QStringList findings;
    try {
        QSqlQuery q = db.run(QStringLiteral("PRAGMA quick_check(5)"));
        while (q.next())
            findings << q.value(0).toString();
    } catch (const DbError& e) {
        findings << e.detail();
    }
    const bool sound = findings == QStringList{QStringLiteral("ok")};
    if (!sound && detail)
        *detail = findings.join(QLatin1Char('\n'));
    return sound;
}

QString AccountSetFile::damagedMessage() {
    return QStringLiteral("套帐文件已损坏，不能继续使用。请用备份的套帐文件恢复，"
                          "或把此文件交给技术人员检查。");
}

QString AccountSetFile::reservedMessage() {
    return QStringLiteral("DB.lbk是新建套帐用的模板，Parameter.mdb是套帐列表，"
                          "它们都不能作为套帐使用，请选择其他文件。");
}

QString AccountSetFile::readOnlyNotice() {
    return QStringLiteral("套帐文件或它所在的文件夹是只读的，本次只能查看，不能保存任何修改。");
}

} // namespace tl
