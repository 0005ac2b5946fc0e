#pragma once

#include <QString>

namespace tl {

// Who is logged in, into which account set, with which rights. Set once at
// login; only the rights change afterwards, when an operator edits his own.
struct Session {
    QString databasePath;
    QString operatorName;
    QString operatorId; // Staff.UID as text
    QString rights;     // the rights string of the operator

    bool hasRight(const QString& name) const;
};

} // namespace tl
