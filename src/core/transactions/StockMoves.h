#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

class QSqlQuery;

namespace tl {

class Database;

// The changes of stock that saving or deleting records makes, netted per
// warehouse and product so that each pair is touched once. Quantities are
// rounded halves to even, as the stock table keeps them.
class StockMoves {
public:
    struct Move {
        int sid = 0;
        int pid = 0;
        qint64 change = 0;
    };

    static StockMoves sale(int sid, int pid, double num);     // out of the warehouse
    static StockMoves purchase(int sid, int pid, double num); // into the warehouse
    static StockMoves transfer(int iid, int oid, int pid, double num);

    // The movement a stored Sale, Buy or Adjust record made when it was saved;
    // nothing when the record does not exist. Other tables move no stock.
    static std::optional<StockMoves> ofRecord(const Database& db, const QString& table, qint64 id);
    // The columns of a Sale, Buy or Adjust record its movement comes from, for
    // a SELECT or a DELETE .. RETURNING; ofRow reads them back from the
    // current row of such a query.
    static QString movedColumns(const QString& table);
    static StockMoves ofRow(const QString& table, const QSqlQuery& row);

    void add(int sid, int pid, qint64 change);
    StockMoves& operator+=(const StockMoves& other);
    StockMoves reversed() const;
    const QList<Move>& moves() const { return m_moves; }

    // Puts every non-zero net change on the stock table, in warehouse and
    // product order: savers moving overlapping pairs (two opposite transfers)
    // take the pairs' rows in one order and cannot wait for each other.
    void apply(const Database& db) const;

private:
    QList<Move> m_moves;
    QHash<quint64, qsizetype> m_index; // (sid, pid) to its move: imports net many pairs
};

} // namespace tl
