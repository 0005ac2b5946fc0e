#include "core/transactions/RecordDeletion.h"

#include "core/accounts/Rights.h"
#include "core/data/Database.h"
#include "core/transactions/StockMoves.h"

#include <QSqlQuery>
#include <algorithm>

namespace tl {

namespace {

bool movesStock(const QString& table) {
    return table == QLatin1String("Sale") || table == QLatin1String("Buy") ||
           table == QLatin1String("Adjust");
}

bool deletable(const QString& table, const QString& keyColumn) {
    static const QList<std::pair<QString, QString>> allowed{
        {"Sale", "ID"},     {"Buy", "ID"},       {"Adjust", "ID"},  {"Product", "PID"},
        {"Account", "AID"}, {"Customer", "CID"}, {"Vender", "VID"}, {"Staff", "UID"},
        {"Class", "CID"},   {"Storage", "SID"},  {"Region", "RID"}};
    return allowed.contains(std::pair{table, keyColumn});
}

// The operators and how many of them may grant rights.
struct Operators {
    int count = 0;
    int granting = 0;
};

Operators countOperators(const Database& db) {
    static const QString grantRight = QStringLiteral("修改人员权限");
    Operators o;
    QSqlQuery q = db.run(QStringLiteral("SELECT \"Right\" FROM Staff"));
    while (q.next()) {
        ++o.count;
        if (Rights::test(q.value(0).toString(), grantRight))
            ++o.granting;
    }
    return o;
}

// After deleting operators somebody must still be able to log in, and, if
// anybody could grant rights before, somebody still can.
void keepAnAdministrator(const Operators& before, const Operators& after) {
    if (after.count == 0)
        throw DbError::refused(
            QStringLiteral("不能删除最后一个操作员，否则再也无法登录。本次没有删除任何记录。"));
    if (before.granting > 0 && after.granting == 0)
        throw DbError::refused(
            QStringLiteral("不能删除最后一个拥有“修改人员权限”的操作员，否则再也无法设置权限。"
                           "本次没有删除任何记录。"));
}

} // namespace

int deleteRecords(const Database& db, const QString& table, const QString& keyColumn,
                  const QList<qint64>& keys) {
    if (!deletable(table, keyColumn))
        throw DbError::failed(QStringLiteral("不能按%2删除表%1中的记录。").arg(table, keyColumn));
    // In key order, so that two operators deleting overlapping records take
    // them in one order.
    QList<qint64> sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    const bool stock = movesStock(table);
    const bool operators = table == QLatin1String("Staff");
    return db.retrying([&] {
        int deleted = 0;
        Transaction t(db);
        if (operators) // nobody changes operators while we count them
            db.lockTableForWriting(table);
        const Operators before = operators ? countOperators(db) : Operators{};
        // The movement comes from the row the delete removed: of two operators
        // deleting one record only the one who removed it takes it back.
        Statement remove(
            db, QStringLiteral("DELETE FROM %1 WHERE %2=?%3")
                    .arg(Database::ident(table), Database::ident(keyColumn),
                         stock ? QStringLiteral(" RETURNING ") + StockMoves::movedColumns(table)
                               : QString()));
        StockMoves moves;
        for (qint64 key : sorted) {
            QSqlQuery& q = remove.exec({key});
            if (!stock) {
                deleted += remove.rowsAffected();
                continue;
            }
            while (q.next()) {
                moves += StockMoves::ofRow(table, q);
                ++deleted;
            }
        }
        moves.reversed().apply(db);
        if (operators && deleted > 0)
            keepAnAdministrator(before, countOperators(db));
        t.commit();
        return deleted;
    });
}

} // namespace tl
