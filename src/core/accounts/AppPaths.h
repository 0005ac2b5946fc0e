#pragma once

#include <QString>

namespace tl {

// Where the program keeps Parameter.mdb and DB.lbk: the executable's folder
// when it already holds the registry or is writable (the build folder, a
// portable copy), otherwise the per-user data folder. An installed program
// (its template in ../share/tradeledger) always uses the per-user data folder.
// Tests point it anywhere.
class AppPaths {
public:
    static QString programFolder();
    static void setProgramFolder(const QString& folder);
    static QString registryPath(); // programFolder/Parameter.mdb
    // programFolder/DB.lbk, else the one beside the executable, else the installed one
    static QString templatePath();
    // Where new files go unless the operator says otherwise: the file dialogs
    // start there, and the command-line tool puts a new account set there.
    // The documents folder, or the home folder when there is none.
    static QString documentsFolder();
    // A stored path that begins with "." is relative to the program folder.
    static QString expandPath(const QString& stored);
    // How captions and printed pages name the account set at path: a file by
    // its name without folder and suffix, one on a server by its address as
    // written (which never holds a password).
    static QString displayName(const QString& path);
};

} // namespace tl
