#include "support/TestAccountSet.h"

#include "core/accounts/AppPaths.h"
#include "core/accounts/Passwords.h"
#include "core/data/Schema.h"

#include <QFile>

namespace tl::test {

TestAccountSet::TestAccountSet() {
    // Tests log in and save operators hundreds of times: cheap hashes.
    Passwords::useMinimumCostForTests();
    AppPaths::setProgramFolder(m_dir.path());
    m_path = m_dir.path() + QStringLiteral("/test.lbk");
    m_db = Database::open(m_path, Database::OpenMode::CreateIfMissing);
    Schema::createAccountSet(*m_db);
}

void TestAccountSet::installTemplate() const {
    QFile::copy(qEnvironmentVariable("TL_TEMPLATE"), m_dir.path() + QStringLiteral("/DB.lbk"));
}

} // namespace tl::test
