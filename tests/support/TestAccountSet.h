#pragma once

#include "core/data/Database.h"

#include <QTemporaryDir>
#include <memory>

namespace tl::test {

// The tests run once on files and once on a PostgreSQL server, whose address
// TL_TEST_PG holds in that pass.
bool onServer();
QString serverUrl();
// The address of a new, empty schema on the test server.
QString freshServerSchema();

// Tests of what only a file has (two copies of one file, damaged files,
// file backups) skip the server pass.
#define TL_FILE_ONLY()                                                                             \
    do {                                                                                           \
        if (::tl::test::onServer())                                                                \
            QSKIP("only for account sets in files");                                               \
    } while (false)

// A fresh, empty account set in a temporary folder that is also the program
// folder (so Parameter.mdb and DB.lbk land there too). In the server pass
// the account set is a fresh schema on the test server and path() its address.
class TestAccountSet {
public:
    TestAccountSet();
    QString folder() const { return m_dir.path(); }
    QString path() const { return m_path; }
    Database& db() { return *m_db; }
    // Copies the built template into the program folder as DB.lbk.
    void installTemplate() const;

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<Database> m_db;
};

} // namespace tl::test
