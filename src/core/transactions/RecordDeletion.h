#pragma once

#include <QList>
#include <QString>

namespace tl {

class Database;

// Deletes the records of table whose keyColumn holds one of keys, in one
// transaction. A sale, purchase or transfer takes its stock movement back
// with it (a sale returns its quantity to the warehouse, a purchase takes it
// out again, a transfer moves it back); a master row goes alone. Keys that no
// longer exist are skipped. Returns the number of records deleted. Deleting
// operators is refused whole (DbError::refused) when it would leave no
// operator, or none holding "修改人员权限".
// Accepted: Sale/Buy/Adjust by ID, Product PID, Account AID, Customer CID,
// Vender VID, Staff UID, Class CID, Storage SID, Region RID; anything else
// throws DbError.
int deleteRecords(const Database& db, const QString& table, const QString& keyColumn,
                  const QList<qint64>& keys);

} // namespace tl
