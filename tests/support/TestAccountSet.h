#pragma once

#include "core/data/Database.h"

#include <QTemporaryDir>
#include <memory>

namespace tl::test {

// A fresh, empty account set in a temporary folder that is also the program
// folder (so Parameter.mdb and DB.lbk land there too).
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
