#pragma once

class QSqlError;

namespace tl {

// Whether a failed statement was refused because of the row it wrote (a
// constraint or trigger, a value of the wrong type or size) rather than
// because the database itself failed. Bulk work skips such a row and goes on.
bool refusesRecord(const QSqlError& error);

} // namespace tl
