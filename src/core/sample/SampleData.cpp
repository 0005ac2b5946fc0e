#include "core/sample/SampleData.h"

#include "core/accounts/AppPaths.h"
#include "core/accounts/NewAccountSet.h"
#include "core/accounts/Registry.h"
#include "core/accounts/Rights.h"
#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/sample/SampleCatalog.h"
#include "core/sample/SampleTrade.h"
#include "core/support/Files.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <cstdio>

namespace tl {

const QString SampleData::name = QStringLiteral("示例套帐");
const QString SampleData::storedPath = QStringLiteral("./示例套帐.lbk");

namespace {

QString u(const char* text) {
    return QString::fromUtf8(text);
}

int insert(const Database& db, const QString& sql, const QVariantList& binds, const char* key) {
    return static_cast<int>(db.insertKey(sql, binds, QString::fromLatin1(key)));
}

// Makes the sample file from the template; false (and no file left behind)
// when there is no template or filling it fails.
bool makeSampleFile(const QString& file) {
    if (!copyFileReplacing(AppPaths::templatePath(), file))
        return false;
    try {
        auto db = Database::open(file, Database::OpenMode::Existing);
        if (db) {
            SampleData::fill(*db);
            return true;
        }
    } catch (const DbError&) {
        // No sample then: the half-filled file goes, and the caller says so.
    }
    QFile::remove(file);
    return false;
}

} // namespace

bool SampleData::ensureFirstStart(Outcome& outcome) {
    outcome = Outcome::ok();
    const QString registryPath = AppPaths::registryPath();
    if (QFileInfo::exists(registryPath))
        return false;
    // The window and the command-line tool (two cron jobs, say) may start at
    // once: one of them makes the sample, the other waits and then finds the
    // registry. Without the lock (a folder it cannot write) the work is tried
    // all the same, and fails with its own message.
    QLockFile lock(AppPaths::programFolder() + QStringLiteral("/.Parameter.mdb.lock"));
    lock.setStaleLockTime(0); // stale only when its process has gone, however long filling takes
    (void)lock.tryLock(60000);
    if (QFileInfo::exists(registryPath))
        return false;
    // A template this user may not read is reported, and no registry is made,
    // so the sample still appears once the template can be read.
    if (const QString unreadable =
            NewAccountSet::unreadableTemplateMessage(AppPaths::templatePath());
        !unreadable.isEmpty()) {
        outcome = Outcome::failed(unreadable);
        return false;
    }
    const QString file = AppPaths::expandPath(storedPath);
    bool haveFile = false;
    if (!QFileInfo::exists(file))
        haveFile = makeSampleFile(file);
    else if (Schema::isAccountSetFile(file))
        haveFile = true;
    else if (!Schema::isDatabaseFile(file))
        outcome = Outcome::refused(QStringLiteral("数据库打开错误！"));
    // The registry is written under another name and renamed into place
    // whole, so nobody reads one that has no table or no row yet. Without a
    // template to copy it stays empty: the operator can still register an
    // existing account set.
    const QString fresh = registryPath + QStringLiteral(".new");
    QFile::remove(fresh);
    Outcome written;
    bool made = false;
    if (haveFile) {
        made = Registry(fresh).add(name, storedPath, written) != 0;
    } else if (auto db = Database::open(fresh, Database::OpenMode::CreateIfMissing,
                                        Database::Journal::Rollback)) {
        try {
            Schema::ensureRegistry(*db);
            made = true;
        } catch (const DbError&) {
            // made stays false: the half-made file is removed below and the
            // operator hears "数据库打开错误！" as for any registry not made
        }
    }
    if (made && ::rename(QFile::encodeName(fresh).constData(),
                         QFile::encodeName(registryPath).constData()) == 0)
        return true;
    QFile::remove(fresh);
    if (outcome.isOk())
        outcome = written.isOk() ? Outcome::failed(QStringLiteral("数据库打开错误！")) : written;
    return false;
}

void SampleData::fill(const Database& db, quint32 seed) {
    Transaction t(db);
    SampleTrade::Keys keys;

    QList<int> classes;
    for (const char* c : SampleCatalog::classes())
        classes << insert(db, QStringLiteral("INSERT INTO Class (Class) VALUES (?)"), {u(c)},
                          "CID");
    QList<int> regions;
    for (const char* r : SampleCatalog::regions())
        regions << insert(db, QStringLiteral("INSERT INTO Region (Region) VALUES (?)"), {u(r)},
                          "RID");

    for (const auto& p : SampleCatalog::products()) {
        keys.products << insert(
            db,
            QStringLiteral("INSERT INTO Product (CID, SName, Name, Code, "
                           "Price, Unit) VALUES (?, ?, ?, ?, ?, ?)"),
            {classes[p.classIndex], u(p.shortName), u(p.name), u(p.code), p.price, u(p.unit)},
            "PID");
    }
    for (const auto& c : SampleCatalog::customers()) {
        keys.customers << insert(
            db,
            QStringLiteral("INSERT INTO Customer (RID, Name, Address, PC, Phone, MPhone, Fax, "
                           "Email, Websit) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {regions[c.regionIndex], u(c.name), u(c.address), u(c.postcode), u(c.phone),
             u(c.mobile), u(c.fax), u(c.email), u(c.website)},
            "CID");
    }
    for (const auto& s : SampleCatalog::suppliers()) {
        keys.suppliers << insert(
            db,
            QStringLiteral("INSERT INTO Vender (RID, Name, LinkMan, Phone, MPhone, Fax, Email, "
                           "Address, PC, Websit) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {regions[s.regionIndex], u(s.name), u(s.contact), u(s.phone), u(s.mobile), u(s.fax),
             u(s.email), u(s.address), u(s.postcode), u(s.website)},
            "VID");
    }
    for (const auto& s : SampleCatalog::storages()) {
        keys.storages << insert(
            db, QStringLiteral("INSERT INTO Storage (Name, Address, Memo) VALUES (?, ?, ?)"),
            {u(s.name), u(s.detail), u(s.memo)}, "SID");
    }
    for (const auto& a : SampleCatalog::accounts()) {
        keys.accounts << insert(
            db, QStringLiteral("INSERT INTO Account (Name, Account, Memo) VALUES (?, ?, ?)"),
            {u(a.name), u(a.detail), u(a.memo)}, "AID");
    }

    // The preset operator sells too; the first sample operator is the salesperson.
    db.exec(QStringLiteral("UPDATE Staff SET Memo=? WHERE Name=?"),
            {QStringLiteral("系统管理员"), Schema::presetOperator});
    keys.sellers << db.value(QStringLiteral("SELECT UID FROM Staff WHERE Name=? ORDER BY UID"),
                             {Schema::presetOperator})
                        .toInt();
    for (const auto& o : SampleCatalog::operators()) {
        QStringList rights;
        for (const char* r : o.rights)
            rights << u(r);
        const int uid =
            insert(db,
                   QStringLiteral("INSERT INTO Staff (Name, PSD, MPhone, Memo, "
                                  "\"Right\") VALUES (?, ?, ?, ?, ?)"),
                   {u(o.name), u(o.password), u(o.mobile), u(o.memo), Rights::join(rights)}, "UID");
        if (keys.sellers.size() < 2)
            keys.sellers << uid;
    }

    // The head of the sample's slips.
    db.exec(QStringLiteral("INSERT INTO Shop (Name, Address, Phone, SaleSlip, BuySlip) "
                           "VALUES (?, ?, ?, 0, 0)"),
            {QStringLiteral("示例商贸有限公司"), QStringLiteral("杭州市西湖区文三路 88 号"),
             QStringLiteral("0571-88886666")});

    SampleTrade::generate(db, keys, seed);
    t.commit();
}

} // namespace tl
