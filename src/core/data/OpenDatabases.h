#pragma once

#include <QString>

namespace tl {

// The SQLite files this process has open. Only SQLite may open them: closing
// any descriptor of a file drops every POSIX lock the process holds on it,
// and then another process takes the file for unused, checkpoints it and
// deletes the -wal that this process still writes into. Every path that
// reads or replaces a file the operator chose asks here first.
class OpenDatabases {
public:
    // Kept by Database for each file it opens and closes.
    static void add(const QString& path);
    static void remove(const QString& path);

    enum class Held {
        No,
        Database,  // a database file this process has open
        Companion, // its -wal, -shm or -journal
    };
    // Whether path is (same device and inode) one of those files, or names
    // one that does not exist yet. Only looks at names and file status;
    // opens nothing.
    static Held find(const QString& path);
    static bool holds(const QString& path) { return find(path) != Held::No; }
    // The same test against one database file, open or not.
    static Held family(const QString& path, const QString& database);

    // What the operator is told when such a file is chosen.
    static QString refusal();
};

} // namespace tl
