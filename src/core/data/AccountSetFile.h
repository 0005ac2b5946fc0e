#pragma once

#include "core/data/Database.h"
#include "core/support/Outcome.h"

#include <QString>
#include <QtGlobal>
#include <memory>

namespace tl {

// Opening an account-set file for a session. Nothing on disk changes until
// the operator has logged in: the file is tested and the password checked
// through a connection that reads the file as it lies, and only then is it
// opened for writing and switched to WAL. A 0-byte file, a text file, another
// program's SQLite file, or an account set behind a wrong password is left
// exactly as it was, and no -wal or -shm appears beside it.
class AccountSetFile {
public:
    enum class Verdict {
        AccountSet,
        Missing,       // no file at the path
        Reserved,      // the program's template DB.lbk or registry Parameter.mdb
        NotAccountSet, // a file of another kind, or a database without Customer
        Damaged,       // SQLite's header but unreadable content
    };

    // Tells what the file is, reading only. An account set is an SQLite file
    // whose Customer table (in any letter case) has the columns CID, RID,
    // Name, PC and Websit.
    static Verdict probe(const QString& path);

    // True for the template DB.lbk and the registry Parameter.mdb of the
    // program folder (or beside the executable), however the path is written.
    static bool isReserved(const QString& path);

    enum class Check {
        Now,      // PRAGMA quick_check before the file is used
        Later,    // the caller runs quickCheck once the window is up
        WhenSmall // Now for files up to smallFileBytes, Later for larger ones
    };
    // The check reads about 150 MB a second (0.15 to 0.2 s for the 25 MB of
    // 550,000 records); up to this size it keeps a login well under half a
    // second even on a busy machine.
    static constexpr qint64 smallFileBytes = 16 * 1024 * 1024;
    // Now or Later, as check asks for the file at path.
    static Check resolve(const QString& path, Check check);

    // Opening an account set for a session comes in two halves, so that a
    // refused login changes nothing: first the file is found to be an
    // account set (and checked, as asked) through a connection that reads it
    // as it lies (Database::OpenMode::Inspect); the operator's password is
    // checked on that connection. Returns null with outcome saying why:
    // "数据库打开错误！" for a file that is no account set, reservedMessage(),
    // damagedMessage(), or "无法建立数据库连接！" for a file that cannot be
    // opened at all.
    // The damaged file's outcome carries quick_check's findings as detail.
    // An account set on a server (a postgresql:// address) is connected to
    // instead: problem tells why a connection failed (NeedsPassword: ask the
    // operator, Database::rememberServerPassword, and try again); the
    // database must hold the account set's tables, made by a program no
    // newer than this one (newerServerMessage()).
    // The template is refused unless templateAllowed (it is read to be
    // copied into a new account set).
    static std::unique_ptr<Database> openChecked(const QString& path, Outcome& outcome,
                                                 Check check = Check::Now,
                                                 Database::ConnectProblem* problem = nullptr,
                                                 bool templateAllowed = false);
    // Then, with the checking connection closed, the session's connection:
    // for writing and switched to WAL; for reading only when the file (or its
    // folder) cannot be written: isReadOnly() tells (the caller shows
    // readOnlyNotice()), and every transaction then fails with the read-only
    // message. Null with outcome "无法建立数据库连接！".
    static std::unique_ptr<Database> openForSession(const QString& path, Outcome& outcome);

    // SQLite's quick_check of the whole file: true when sound. detail gets
    // the engine's first findings otherwise. Reads the whole file.
    static bool quickCheck(const Database& db, QString* detail = nullptr);

    static QString damagedMessage();  // "套帐文件已损坏…"
    static QString reservedMessage(); // the template or registry chosen as an account set
    static QString readOnlyNotice();  // shown once when an account set opens read-only
    static QString newerServerMessage();

private:
    static std::unique_ptr<Database> openOnServer(const QString& address, Outcome& outcome,
                                                  Database::ConnectProblem* problem = nullptr);
};

} // namespace tl
