#pragma once

#include <QString>

namespace tl {

// Where the program keeps Parameter.mdb and DB.lbk: the executable's folder
// when it already holds the registry or is writable (a portable install),
// otherwise the per-user data folder. Tests point it anywhere.
class AppPaths {
public:
    static QString programFolder();
    static void setProgramFolder(const QString& folder);
    static QString registryPath(); // programFolder/Parameter.mdb
    static QString templatePath(); // programFolder/DB.lbk, or the one beside the executable
    // A stored path that begins with "." is relative to the program folder.
    static QString expandPath(const QString& stored);
};

} // namespace tl
