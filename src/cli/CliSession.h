#pragma once

#include "core/accounts/Login.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tl::cli {

// The account-set file SET names: the path of a file, else the name of a
// registered account set (as the login window lists them, newest first).
// Empty after a message when it names neither.
QString resolveAccountSet(const QString& set);

// Logs in as the login window does (same rules, same messages) and brings
// the account set up to date as the main window does after login. The
// password comes from TRADELEDGER_PASSWORD, else from the terminal. The
// whole file is checked before it is used unless the command checks it
// itself (verify).
// Login::Use::Copy reads the file as it lies and leaves it unchanged.
// password gets the password the operator gave.
std::optional<Login> logIn(const QString& set, const QString& user,
                           AccountSetFile::Check check = AccountSetFile::Check::Now,
                           Login::Use use = Login::Use::Session, QString* password = nullptr);

// True when the operator holds every right; otherwise says which one is
// missing, with the windows' refusal, and returns false.
bool requireRights(const Session& session, const QStringList& rights);

} // namespace tl::cli
