#include "data/Registry.h"

#include "data/AppPaths.h"
#include "data/Database.h"
#include "data/Dialogs.h"
#include "data/Helpers.h"
#include "data/Schema.h"

#include <QFileInfo>
#include <QSqlQuery>

namespace tl {

namespace {
const QString kOpenError = QStringLiteral("数据库打开错误！");

std::unique_ptr<Database> openForWriting(const QString& path, Database::OpenMode mode) {
    return Database::open(path, mode, Database::Report::Quiet, Database::Journal::Rollback);
}

void showWriteFailure(const DbError& e) {
    if (e.kind() == DbError::Kind::ReadOnly)
        dialogs().error(QStringLiteral("套帐列表文件Parameter.mdb或它所在的文件夹是只读的，"
                                       "不能修改套帐列表。"),
                        e.detail());
    else if (e.kind() == DbError::Kind::Busy || e.kind() == DbError::Kind::DiskFull)
        dialogs().error(e.userText(), e.detail());
    else
        dialogs().info(kOpenError);
}
} // namespace

Registry::Registry(QString path)
    : m_path(path.isEmpty() ? AppPaths::registryPath() : std::move(path)) {}

std::unique_ptr<Database> Registry::openExisting() const {
    // Listing only reads: a registry in a folder we may not write still lists.
    auto db = Database::open(m_path, Database::OpenMode::ReadOnly, Database::Report::Quiet);
    if (db) {
        try {
            if (db->tableExists(Schema::registryTable().name, Qt::CaseInsensitive))
                return db;
        } catch (const DbError&) {
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
        }
    }
    dialogs().info(kOpenError);
    return nullptr;
}

std::unique_ptr<Database> Registry::openWritable() const {
    auto db = openForWriting(m_path, Database::OpenMode::Existing);
    if (!db)
        dialogs().info(kOpenError);
    return db;
}

QList<RegistryEntry> Registry::list() const {
    QList<RegistryEntry> entries;
    auto db = openExisting();
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
        dialogs().info(kOpenError);
        entries.clear();
    }
    return entries;
}

int Registry::add(const QString& name, const QString& storedPath) const {
    auto db = openForWriting(m_path, Database::OpenMode::CreateIfMissing);
    if (!db) {
        dialogs().info(kOpenError);
        return 0;
    }
    try {
        Schema::ensureRegistry(*db);
        db->exec(QStringLiteral("INSERT INTO Account (Name, Path) VALUES (?, ?)"),
                 {name, storedPath});
        return static_cast<int>(db->lastInsertId());
    } catch (const DbError& e) {
        showWriteFailure(e);
        return 0;
    }
}

bool Registry::remove(int id) const {
    auto db = openWritable();
    if (!db)
        return false;
    try {
        return db->exec(QStringLiteral("DELETE FROM Account WHERE ID=?"), {id}) > 0;
    } catch (const DbError& e) {
        showWriteFailure(e);
        return false;
    }
}

QString Registry::resolve(const QString& storedPath) {
    // The list shows "." paths under the program folder and login opens them
    // there, so the check looks in the same place whatever the current directory.
    return AppPaths::expandPath(storedPath);
}

bool Registry::fileMissing(const QString& storedPath) {
    const QString path = resolve(storedPath);
    return path.isEmpty() || !QFileInfo(path).isFile();
}

int Registry::checkFiles() const {
    auto db = openExisting();
    if (!db)
        return 0;
    int missing = 0;
    try {
        QList<int> forget;
        QSqlQuery q = db->run(QStringLiteral("SELECT ID, Name, Path FROM Account ORDER BY ID"));
        QList<std::pair<int, QString>> absent;
        while (q.next()) {
            if (fileMissing(q.value(2).toString()))
                absent.append({q.value(0).toInt(), toText(q.value(1))});
        }
        q.finish();
        for (const auto& [id, name] : absent) {
            ++missing;
            if (dialogs().question(QStringLiteral("套帐“") + name +
                                   QStringLiteral("”的数据文件不存在，是否删除此套账？")))
                forget << id;
        }
        if (!forget.isEmpty()) {
            auto writer = openWritable();
            if (!writer)
                return missing;
            Transaction t(*writer);
            for (int id : forget)
                writer->exec(QStringLiteral("DELETE FROM Account WHERE ID=?"), {id});
            t.commit();
        }
    } catch (const DbError& e) {
        showWriteFailure(e);
    }
    return missing;
}

QString Registry::checkReport(int missing) {
    if (missing >= 1)
        return QStringLiteral("检测完成,共有") + QString::number(missing) +
               QStringLiteral("个套帐数据文件不存在！");
    return QStringLiteral("检测完成,各套帐数据完整！");
}

} // namespace tl
