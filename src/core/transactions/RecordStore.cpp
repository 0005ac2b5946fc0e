#include "core/transactions/RecordStore.h"

#include "core/data/Database.h"

#include <cmath>
#include <limits>

namespace tl {

const QString RecordStore::missingRecordText = QStringLiteral("没找到要修改的记录！");
const QDate RecordStore::firstDate(1900, 1, 1);
const QDate RecordStore::lastDate(9999, 12, 31);

QString RecordStore::checkQuantity(double num) {
    if (!std::isfinite(num))
        return QStringLiteral("数量不是有效的数字，请重新输入！");
    // Rounded as the stock moves by it; beyond 32 bits the stock would move by
    // less than the record says.
    const double rounded = std::nearbyint(num);
    if (rounded > std::numeric_limits<int>::max() || rounded < std::numeric_limits<int>::min())
        return QStringLiteral("数量超出范围（-2147483648至2147483647），请重新输入！");
    return {};
}

QString RecordStore::checkMoney(double price, double num, double pay) {
    if (!std::isfinite(price))
        return QStringLiteral("单价不是有效的数字，请重新输入！");
    if (!std::isfinite(pay))
        return QStringLiteral("金额不是有效的数字，请重新输入！");
    if (!std::isfinite(price * num))
        return QStringLiteral("总金额超出范围，请检查单价和数量！");
    return {};
}

QString RecordStore::checkDate(const QDate& date) {
    if (!date.isValid() || date < firstDate || date > lastDate)
        return QStringLiteral("日期无效或超出范围（1900-01-01至9999-12-31），请重新选择！");
    return {};
}

void RecordStore::require(const QString& problem) {
    if (!problem.isEmpty())
        throw DbError::refused(problem);
}

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
    return db.retrying([&] {
        Transaction t(db);
        moves.apply(db);
        const qint64 id = db.insertKey(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(Database::ident(table), columnList(columns, {}), marks.join(QLatin1Char(','))),
            values, QStringLiteral("ID"));
        t.commit();
        return id;
    });
}

bool RecordStore::replace(const Database& db, const QString& table, qint64 id,
                          const QStringList& columns, const QVariantList& values,
                          const StockMoves& moves, QString* message) {
    return db.retrying([&] {
        Transaction t(db);
        // The record as it is once nobody else changes it: an operator who
        // edited it first has moved the stock by what he saved.
        db.lockRows(table, QStringLiteral("ID"), {id});
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
    });
}

QVariant RecordStore::dateValue(const QDate& date) {
    return date.isValid() ? QVariant(date.toString(Qt::ISODate))
                          : QVariant(QMetaType::fromType<QString>());
}

QDate RecordStore::dateFrom(const QVariant& stored) {
    return QDate::fromString(stored.toString().left(10), Qt::ISODate);
}

} // namespace tl
