#pragma once

#include <QStringList>

namespace tl {

class Database;

// SQLite's own check of the file: pages, indexes, constraints. Returns the
// problems it reports, at most limit of them; empty when the file is sound.
// On a server, which keeps its own storage sound, the declared tables and
// columns are looked for instead. Reads only.
QStringList integrityProblems(const Database& db, int limit = 20);

} // namespace tl
