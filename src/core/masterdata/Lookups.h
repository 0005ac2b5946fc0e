#pragma once

#include <QString>
#include <QStringList>

namespace tl {

class Database;

// The master tables that can be found by name and created when missing.
enum class Master { Product, Class, Vender, Staff, Customer, Region, Account, Storage };

// Find-or-create by name: the key of the first row whose name equals the
// given one (compared without regard to case), inserting a row when there is
// none. A new product gets the class "未分类产品", a new customer or supplier
// the region "未知区域", themselves found or created the same way. When
// created is given it tells whether the row was inserted.
int findOrCreate(const Database& db, Master table, const QString& name, bool* created = nullptr);

// Takes the lock that keeps the names of a master table apart, inside a
// Transaction, before looking whether a name is taken: an operator adding
// the same name meanwhile waits, then sees this one's record. On a file the
// write lock does it already.
void lockNames(const Database& db, const QString& table);

// Drop-down items "key‖name" of a table, ordered by the name column.
QStringList comboItems(const Database& db, const QString& table, const QString& nameColumn,
                       const QString& keyColumn);

} // namespace tl
