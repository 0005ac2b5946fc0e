#include "core/accounts/AppPaths.h"

#include "core/data/ServerAddress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tl {
namespace {
QString chosen;

// An installed program (bin/ beside share/tradeledger/, as `cmake --install` and the
// package lay it out) finds its template there. A build folder keeps DB.lbk beside the
// executable instead.
QString installedTemplate() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tradeledger/DB.lbk");
}

QString computeFolder() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QFileInfo dir(exeDir);
    // An installed program keeps its files in the user's data folder even when the
    // prefix is writable (~/.local, a test prefix): bin/ is no place for account sets.
    const bool installed = QFileInfo::exists(installedTemplate()) &&
                           !QFileInfo::exists(exeDir + QStringLiteral("/DB.lbk"));
    if (!installed &&
        (QFileInfo::exists(exeDir + QStringLiteral("/Parameter.mdb")) || dir.isWritable()))
        return exeDir;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
}
} // namespace

QString AppPaths::programFolder() {
    if (chosen.isEmpty())
        chosen = computeFolder();
    return chosen;
}

void AppPaths::setProgramFolder(const QString& folder) {
    chosen = folder;
}

QString AppPaths::registryPath() {
    return programFolder() + QStringLiteral("/Parameter.mdb");
}

QString AppPaths::templatePath() {
    const QString local = programFolder() + QStringLiteral("/DB.lbk");
    if (QFileInfo::exists(local))
        return local;
    // A build keeps the template beside the executable, an install under share/.
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/DB.lbk");
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(installedTemplate());
    return QFileInfo::exists(installed) ? installed : local;
}

QString AppPaths::documentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString AppPaths::expandPath(const QString& stored) {
    if (!stored.startsWith(QLatin1Char('.')))
        return stored;
    // ".\\x.lbk" and "./x.lbk" name x.lbk in the program folder; "..\\x" or ".x" are
    // relative names too and must not lose a character to the expansion.
    QString rest = stored;
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (rest == QStringLiteral(".") || rest.startsWith(QStringLiteral("./")))
        return programFolder() + rest.mid(1);
    return programFolder() + QLatin1Char('/') + rest;
}

QString AppPaths::displayName(const QString& path) {
    return ServerAddress::isAddress(path) ? path.trimmed() : QFileInfo(path).completeBaseName();
}

} // namespace tl
