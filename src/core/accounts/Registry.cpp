#include "core/accounts/Registry.h"

#include "core/accounts/AppPaths.h"
#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/support/Files.h"
#include "core/values/Numbers.h"

#include "core/data/ServerAddress.h"

#include <QFileInfo>
#include <QSqlQuery>

namespace tl {

namespace {
const QString kOpenError = QStringLiteral("数据库打开错误！");

std::unique_ptr<Database> openForWriting(const QString& path, Database::OpenMode mode) {
    return Database::open(path, mode, Database::Journal::Rollback);
}

Outcome writeFailure(const DbError& e) {
    if (e.kind() == DbError::Kind::ReadOnly)
        return Outcome::failed(QStringLiteral("套帐列表文件Parameter.mdb或它所在的文件夹是只读的，"
                                              "不能修改套帐列表。"),
                               e.detail());
    if (e.kind() == DbError::Kind::Busy || e.kind() == DbError::Kind::DiskFull)
        return Outcome::failed(e.userText(), e.detail());
    return Outcome::failed(kOpenError);
}
} // namespace

Registry::Registry(QString path)
    : m_path(path.isEmpty() ? AppPaths::registryPath() : std::move(path)) {}

QString Registry::unreadableMessage(const QString& path) {
    const QString reason = unreadableReason(path);
    return reason.isEmpty() ? QString()
                            : QStringLiteral("无法读取套帐列表Parameter.mdb：") + reason;
}

QString Registry::nameTakenMessage(const QString& name) {
    return QStringLiteral("已经有名为“%1”的套帐，请换一个名字。").arg(name);
}

std::unique_ptr<Database> Registry::openExisting(Outcome& outcome) const {
    // Another user's registry is no broken one: say what stands in the way.
    if (const QString unreadable = unreadableMessage(m_path); !unreadable.isEmpty()) {
        outcome = Outcome::failed(unreadable);
        return nullptr;
    }
    // Listing only reads: a registry in a folder we may not write still lists.
    auto db = Database::open(m_path, Database::OpenMode::ReadOnly);
    if (db) {
        try {
            if (db->tableExists(Schema::registryTable().name, Qt::CaseInsensitive))
                return db;
        } catch (const DbError&) {
            // Unreadable as it lies: the repair below opens it for writing.
        }
    }
    // An empty file is a registry that lost its table: give it one back.
    db =
        QFileInfo(m_path).isFile() ? openForWriting(m_path, Database::OpenMode::Existing) : nullptr;
    if (db) {
        try {
            Schema::ensureRegistry(*db);
            return db;
        } catch (const DbError&) {
            // Not repaired: reported below as any registry that does not open.
        }
    }
    outcome = Outcome::failed(kOpenError);
    return nullptr;
}

std::unique_ptr<Database> Registry::openWritable(Outcome& outcome) const {
    auto db = openForWriting(m_path, Database::OpenMode::Existing);
    if (!db)
        outcome = Outcome::failed(kOpenError);
    return db;
}

QList<RegistryEntry> Registry::list(Outcome& outcome) const {
    outcome = Outcome::ok();
    QList<RegistryEntry> entries;
    auto db = openExisting(outcome);
    if (!db)
        return entries;
    try {
        QSqlQuery q =
            db->run(QStringLiteral("SELECT ID, Name, Dat, Path FROM Account ORDER BY ID DESC"));
        while (q.next()) {
            RegistryEntry e;
            e.id = q.value(0).toInt();
            e.name = toText(q.value(1));
            e.date = toText(q.value(2));
            e.storedPath = q.value(3).toString();
            e.path = AppPaths::expandPath(e.storedPath);
            entries << e;
        }
    } catch (const DbError&) {
        // A table of the right name but the wrong columns: as broken as no table.
        outcome = Outcome::failed(kOpenError);
        entries.clear();
    }
    return entries;
}

int Registry::add(const QString& name, const QString& storedPath, Outcome& outcome,
                  Names names) const {
    outcome = Outcome::ok();
    if (const QString unreadable = unreadableMessage(m_path); !unreadable.isEmpty()) {
        outcome = Outcome::failed(unreadable);
        return 0;
    }
    auto db = openForWriting(m_path, Database::OpenMode::CreateIfMissing);
    if (!db) {
        outcome = Outcome::failed(kOpenError);
        return 0;
    }
    try {
        Schema::ensureRegistry(*db);
        const QString key = QStringLiteral("ID");
        if (names == Names::Unique) {
            // One statement: a second process registering the same name at
            // the same moment cannot slip in between a test and the insert.
            const qint64 id = db->insertKey(
                QStringLiteral("INSERT INTO Account (Name, Path) SELECT ?, ? WHERE NOT "
                               "EXISTS (SELECT 1 FROM Account WHERE %1=%2)")
                    .arg(Database::caseless(QStringLiteral("Name")),
                         Database::caseless(QStringLiteral("?"))),
                {name, storedPath, name}, key);
            if (id == 0)
                outcome = Outcome::refused(nameTakenMessage(name));
            return static_cast<int>(id);
        }
        return static_cast<int>(
            db->insertKey(QStringLiteral("INSERT INTO Account (Name, Path) VALUES (?, ?)"),
                          {name, storedPath}, key));
    } catch (const DbError& e) {
        outcome = writeFailure(e);
        return 0;
    }
}

Outcome Registry::forget(const QList<int>& ids) const {
    if (ids.isEmpty())
        return Outcome::ok();
    Outcome outcome;
    auto db = openWritable(outcome);
    if (!db)
        return outcome;
    try {
        QList<QVariantList> rows;
        for (int id : ids)
            rows.append(QVariantList{id});
        db->execBatch(QStringLiteral("DELETE FROM Account WHERE ID=?"), rows);
    } catch (const DbError& e) {
        return writeFailure(e);
    }
    return outcome;
}

QString Registry::resolve(const QString& storedPath) {
    // The list shows "." paths under the program folder and login opens them
    // there, so the check looks in the same place whatever the current directory.
    return AppPaths::expandPath(storedPath);
}

bool Registry::fileMissing(const QString& storedPath) {
    // An account set on a server is checked when someone logs in to it.
    if (ServerAddress::isAddress(storedPath))
        return false;
    const QString path = resolve(storedPath);
    return path.isEmpty() || !QFileInfo(path).isFile();
}

QList<RegistryEntry> Registry::missingFiles(Outcome& outcome) const {
    outcome = Outcome::ok();
    QList<RegistryEntry> absent;
    auto db = openExisting(outcome);
    if (!db)
        return absent;
    try {
        QSqlQuery q = db->run(QStringLiteral("SELECT ID, Name, Path FROM Account ORDER BY ID"));
        while (q.next()) {
            RegistryEntry e;
            e.storedPath = q.value(2).toString();
            if (!fileMissing(e.storedPath))
                continue;
            e.id = q.value(0).toInt();
            e.name = toText(q.value(1));
            e.path = AppPaths::expandPath(e.storedPath);
            absent << e;
        }
    } catch (const DbError& e) {
        outcome = writeFailure(e);
        absent.clear();
    }
    return absent;
}

QString Registry::forgetQuestion(const QString& name) {
    return QStringLiteral("套帐“") + name + QStringLiteral("”的数据文件不存在，是否删除此套账？");
}

QString Registry::checkReport(int missing) {
    if (missing >= 1)
        return QStringLiteral("检测完成,共有") + QString::number(missing) +
               QStringLiteral("个套帐数据文件不存在！");
    return QStringLiteral("检测完成,各套帐数据完整！");
}

} // namespace tl
