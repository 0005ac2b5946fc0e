#include "core/printing/ShopSettings.h"

#include "core/accounts/Session.h"
#include "core/data/Database.h"

namespace tl {

namespace {

const QString kTable = QStringLiteral("Shop");

bool hasTable(const Database& db) {
    return db.tableExists(kTable, Qt::CaseInsensitive);
}

// The settings live in the table's one row; it is made on the first write.
// Two operators making it at once would make two: the second waits for the
// table and then finds the first one's row.
void ensureRow(const Database& db) {
    db.lockTableForWriting(kTable);
    db.exec(QStringLiteral("INSERT INTO Shop (SaleSlip, BuySlip) SELECT 0, 0 "
                           "WHERE NOT EXISTS (SELECT 1 FROM Shop)"));
}

// The program's own column names; never user text.
QString numberColumn(SlipKind kind) {
    return kind == SlipKind::Sale ? QStringLiteral("SaleSlip") : QStringLiteral("BuySlip");
}

qint64 lastTaken(const Database& db, SlipKind kind) {
    if (!hasTable(db))
        return 0;
    return db
        .value(QStringLiteral("SELECT coalesce(%1, 0) FROM Shop ORDER BY ID LIMIT 1")
                   .arg(numberColumn(kind)))
        .toLongLong();
}

} // namespace

ShopSettings ShopSettings::read(const Database& db) {
    ShopSettings s;
    if (!hasTable(db))
        return s;
    QSqlQuery q =
        db.run(QStringLiteral("SELECT Name, Address, Phone FROM Shop ORDER BY ID LIMIT 1"));
    if (q.next()) {
        s.name = q.value(0).toString();
        s.address = q.value(1).toString();
        s.phone = q.value(2).toString();
    }
    return s;
}

QString ShopSettings::right() {
    return QStringLiteral("修改人员权限");
}

Outcome ShopSettings::save(const Database& db, const Session& session,
                           const ShopSettings& settings) {
    if (!session.hasRight(right()))
        return Outcome::refused(QStringLiteral("没有“%1”的权限，不能修改单据设置。").arg(right()));
    const ShopSettings s{settings.name.trimmed(), settings.address.trimmed(),
                         settings.phone.trimmed()};
    const struct {
        const QString& text;
        const char* label;
        int limit;
    } fields[] = {{s.name, "店名", nameLimit},
                  {s.address, "地址", addressLimit},
                  {s.phone, "电话", phoneLimit}};
    for (const auto& f : fields)
        if (f.text.size() > f.limit)
            return Outcome::refused(QStringLiteral("%1太长：最多 %2 个字，现在是 %3 个字。")
                                        .arg(QString::fromUtf8(f.label))
                                        .arg(f.limit)
                                        .arg(f.text.size()));
    db.retrying([&] {
        Transaction t(db);
        ensureRow(db);
        db.exec(QStringLiteral("UPDATE Shop SET Name=?, Address=?, Phone=? "
                               "WHERE ID=(SELECT min(ID) FROM Shop)"),
                {s.name, s.address, s.phone});
        t.commit();
    });
    return Outcome::ok();
}

qint64 SlipNumbers::next(const Database& db, SlipKind kind) {
    return lastTaken(db, kind) + 1;
}

qint64 SlipNumbers::take(const Database& db, SlipKind kind) {
    // Said as the engine would say it, also for an older file that has no
    // table to count in (it would fail as a missing table).
    if (db.isReadOnly())
        throw DbError::ofKind(DbError::Kind::ReadOnly);
    return db.retrying([&] {
        Transaction t(db);
        ensureRow(db);
        const QString column = numberColumn(kind);
        db.exec(QStringLiteral(
                    "UPDATE Shop SET %1=coalesce(%1, 0)+1 WHERE ID=(SELECT min(ID) FROM Shop)")
                    .arg(column));
        const qint64 number = lastTaken(db, kind);
        t.commit();
        return number;
    });
}

void SlipNumbers::giveBack(const Database& db, SlipKind kind, qint64 number) {
    Transaction t(db);
    db.exec(QStringLiteral("UPDATE Shop SET %1=? WHERE %1=? AND ID=(SELECT min(ID) FROM Shop)")
                .arg(numberColumn(kind)),
            {number - 1, number});
    t.commit();
}

} // namespace tl
