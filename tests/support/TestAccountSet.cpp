#include "support/TestAccountSet.h"

#include "core/accounts/AppPaths.h"
#include "core/accounts/Passwords.h"
#include "core/data/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrlQuery>

namespace tl::test {

bool onServer() {
    return !serverUrl().isEmpty();
}

QString serverUrl() {
    return qEnvironmentVariable("TL_TEST_PG");
}

QString freshServerSchema() {
    // One schema per account set: test programs running side by side never
    // meet each other's tables.
    static int counter = 0;
    const QString schema =
        QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    auto admin = Database::open(serverUrl());
    if (!admin)
        qFatal("cannot connect to the test server %s", qPrintable(serverUrl()));
    admin->exec(QStringLiteral("CREATE SCHEMA ") + schema);
    QUrl url(serverUrl());
    QUrlQuery query(url);
    query.addQueryItem(QStringLiteral("options"), QStringLiteral("-csearch_path=") + schema);
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

TestAccountSet::TestAccountSet() {
    // Tests log in and save operators hundreds of times: cheap hashes.
    Passwords::useMinimumCostForTests();
    AppPaths::setProgramFolder(m_dir.path());
    m_path = onServer() ? freshServerSchema() : m_dir.path() + QStringLiteral("/test.lbk");
    m_db = Database::open(m_path, Database::OpenMode::CreateIfMissing);
    Schema::createAccountSet(*m_db);
}

void TestAccountSet::installTemplate() const {
    QFile::copy(qEnvironmentVariable("TL_TEMPLATE"), m_dir.path() + QStringLiteral("/DB.lbk"));
}

} // namespace tl::test
