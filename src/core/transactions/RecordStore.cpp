#include "transactions/RecordStore.h"

#include "data/Database.h"

namespace tl {

const QString RecordStore::missingRecordText = QStringLiteral("没找到要修改的记录！");

namespace {
QString columnList(const QStringList& columns, const QString& suffix) {
    QStringList parts;
    for (const QString& c : columns)
        parts << Database::ident(c) + suffix;
    return parts.join(QStringLiteral(", "));
}
} // namespace

qint64 RecordStore::insert(const Database& db, const QString& table, const QStringList& columns,
                           const QVariantList& values, const StockMoves& moves) {
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    Transaction t(db);
    moves.apply(db);
    db.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(Database::ident(table), columnList(columns, {}), marks.join(QLatin1Char(','))),
            values);
    const qint64 id = db.lastInsertId();
    t.commit();
    return id;
}

bool RecordStore::replace(const Database& db, const QString& table, qint64 id,
                          const QStringList& columns, const QVariantList& values,
                          const StockMoves& moves, QString* message) {
    Transaction t(db);
    std::optional<StockMoves> before = StockMoves::ofRecord(db, table, id);
    if (!before) {
        if (message)
            *message = missingRecordText;
        return false;
    }
    StockMoves net = before->reversed();
    net += moves;
    net.apply(db);
    db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE ID=?")
                .arg(Database::ident(table), columnList(columns, QStringLiteral("=?"))),
            QVariantList(values) << id);
    t.commit();
    return true;
}

QVariant RecordStore::dateValue(const QDate& date) {
    return date.isValid() ? QVariant(date.toString(Qt::ISODate))
                          : QVariant(QMetaType::fromType<QString>());
}

QDate RecordStore::dateFrom(const QVariant& stored) {
    return QDate::fromString(stored.toString().left(10), Qt::ISODate);
}

} // namespace tl
