#include "transactions/RecordDeletion.h"

#include "data/Database.h"
#include "transactions/StockMoves.h"

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

} // namespace

int deleteRecords(const Database& db, const QString& table, const QString& keyColumn,
                  const QList<qint64>& keys) {
    if (!deletable(table, keyColumn))
        throw DbError(QStringLiteral("不能按%2删除表%1中的记录。").arg(table, keyColumn));
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2=?")
                            .arg(Database::ident(table), Database::ident(keyColumn));
    int deleted = 0;
    Transaction t(db);
    for (qint64 key : keys) {
        if (movesStock(table)) {
            const std::optional<StockMoves> moves = StockMoves::ofRecord(db, table, key);
            if (!moves)
                continue; // already gone
            moves->reversed().apply(db);
        }
        deleted += db.exec(sql, {key});
    }
    t.commit();
    return deleted;
}

} // namespace tl
