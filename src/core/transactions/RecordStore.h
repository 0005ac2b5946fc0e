#pragma once

#include "core/transactions/StockMoves.h"

#include <QDate>
#include <QStringList>
#include <QVariantList>

namespace tl {

class Database;

// Writes one Sale, Buy or Adjust record together with its stock movement:
// both happen in one transaction or neither does.
class RecordStore {
public:
    // Shown when the record being modified no longer exists.
    static const QString missingRecordText; // "没找到要修改的记录！"

    // Moves the stock, inserts the row; returns its new ID.
    static qint64 insert(const Database& db, const QString& table, const QStringList& columns,
                         const QVariantList& values, const StockMoves& moves);

    // Takes back the movement the stored record made, applies moves and writes
    // the values over the record. When the record is gone nothing changes:
    // false, with missingRecordText in message.
    static bool replace(const Database& db, const QString& table, qint64 id,
                        const QStringList& columns, const QVariantList& values,
                        const StockMoves& moves, QString* message);

    // What every store refuses before writing, as the message to show; empty
    // when the values are sound. A quantity must be a number within the 32-bit
    // range the stock table moves by; prices, amounts and their product must
    // be finite; the date must lie within firstDate … lastDate.
    static QString checkQuantity(double num);
    static QString checkMoney(double price, double num, double pay);
    static QString checkDate(const QDate& date);
    static const QDate firstDate; // 1900-01-01
    static const QDate lastDate;  // 9999-12-31
    // Throws DbError::refused with a non-empty problem: a caller that skipped
    // the store's check still cannot write unsound values.
    static void require(const QString& problem);

    // The stored form of a date: ISO text, null when there is none.
    static QVariant dateValue(const QDate& date);
    // A stored date back; the time part, if any, is dropped.
    static QDate dateFrom(const QVariant& stored);
};

} // namespace tl
