// Times logging in to the benchmark account set (550,000 records): the
// read-only test that the file is an account set, SQLite's quick_check of the
// whole file, and the password check (Argon2id at libsodium's interactive
// limits). Usage: bench_login [folder for the account set] [--pg URL]
#include "core/accounts/AppPaths.h"
#include "core/accounts/Login.h"
#include "core/accounts/Passwords.h"
#include "core/data/AccountSetFile.h"
#include "support/BenchData.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

using namespace tl;
using namespace tl::bench;

namespace {

// The login takes files only so far: on a server, the parts it will have
// there, connecting and the password check.
int serverLogin(const QString& address) {
    {
        auto db = openBenchAccountSet(address);
        if (!db)
            return 1;
        // As the first login leaves it: the password hashed.
        db->exec(QStringLiteral("UPDATE Staff SET PSD=? WHERE Name='admin'"),
                 {Passwords::hash(QStringLiteral("730281"))});
    }
    // Each connection has a server process of its own, started for it: only
    // this program's share of the processor counts here.
    stopCountingServer();
    time("connect to the server", 5, [&] { Database::open(address); });
    time("connect, read the operator, check password", 3, [&] {
        auto db = Database::open(address);
        const QString stored = db->value(QStringLiteral("SELECT PSD FROM Staff WHERE Name=?"),
                                         {QStringLiteral("admin")})
                                   .toString();
        if (!Passwords::matches(stored, QStringLiteral("730281")))
            std::printf("password refused\n");
    });
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const BenchArgs args(argc, argv);
    QTemporaryDir dir;
    const QString folder = args.value(0, dir.path());
    AppPaths::setProgramFolder(folder);
    if (args.onServer())
        return serverLogin(args.accountSet(folder));
    const QString path = folder + "/bench.lbk";
    openBenchAccountSet(path).reset(); // closed: its WAL folded back, as after a run
    std::printf("account set: %.1f MB\n", QFileInfo(path).size() / 1048576.0);

    time("probe (is it an account set?)", 5, [&] { AccountSetFile::probe(path); });
    time("PRAGMA quick_check", 3, [&] {
        auto db = Database::open(path, Database::OpenMode::ReadOnly);
        AccountSetFile::quickCheck(*db);
    });
    // The first login replaces the template's plain password by its hash.
    time("first login (plain password hashed)", 1, [&] {
        if (!Login::authenticate(path, "admin", "730281", AccountSetFile::Check::Later).login)
            std::printf("login failed\n");
    });
    // As the login window logs in: the file is checked at login up to
    // AccountSetFile::smallFileBytes, once the main window is up beyond.
    time("login as the login window does", 3, [&] {
        if (!Login::authenticate(path, "admin", "730281", AccountSetFile::Check::WhenSmall).login)
            std::printf("login failed\n");
    });
    time("login, quick_check left for later", 3, [&] {
        if (!Login::authenticate(path, "admin", "730281", AccountSetFile::Check::Later).login)
            std::printf("login failed\n");
    });
    time("login with quick_check", 3, [&] {
        if (!Login::authenticate(path, "admin", "730281", AccountSetFile::Check::Now).login)
            std::printf("login failed\n");
    });
    return 0;
}
