#pragma once

#include "core/support/Outcome.h"

#include <QList>
#include <QString>
#include <memory>

namespace tl {

class Database;

// One registered account set as the login list shows it.
struct RegistryEntry {
    int id = 0;
    QString name;
    QString date;       // the registration date as the registry stored it
    QString storedPath; // as registered
    QString path;       // storedPath with a leading "." replaced by the program folder
};

// The account-set registry Parameter.mdb: which account sets the login window
// offers. Opened for each operation and closed again, so a registry replaced
// on disk is always read afresh.
class Registry {
public:
    // The registry of the program folder unless another file is given (tests).
    explicit Registry(QString path = QString());

    const QString& path() const { return m_path; }

    // Newest first. A missing or broken registry gives an empty list, with
    // outcome "数据库打开错误！"; one this user may not read, with
    // unreadableMessage().
    QList<RegistryEntry> list(Outcome& outcome) const;

    enum class Names {
        MayRepeat, // the login window tells account sets apart by their paths
        Unique,    // the command-line tool finds an account set by its name
    };
    // Registers an account set; the registry dates the row itself. Creates the
    // registry when it does not exist yet. Returns the new row's ID, 0 when the
    // registry could not be written or, with Unique, already lists the name in
    // any letter case (outcome says why).
    int add(const QString& name, const QString& storedPath, Outcome& outcome,
            Names names = Names::MayRepeat) const;
    static QString nameTakenMessage(const QString& name);
    // "无法读取套帐列表Parameter.mdb：" and the reason, for a registry this
    // user may not read; empty when it can be read or does not exist.
    static QString unreadableMessage(const QString& path);

    // Forgets account sets in one transaction; their files are never touched.
    Outcome forget(const QList<int>& ids) const;

    // Where a stored path points: a leading "." stands for the program folder,
    // any other relative path is taken from the current directory.
    static QString resolve(const QString& storedPath);
    static bool fileMissing(const QString& storedPath);

    // The registered account sets whose file is missing, in registration
    // order. The check asks forgetQuestion() for each and forgets those
    // answered Yes.
    QList<RegistryEntry> missingFiles(Outcome& outcome) const;
    static QString forgetQuestion(const QString& name);
    // "检测完成,共有n个套帐数据文件不存在！" or "检测完成,各套帐数据完整！".
    static QString checkReport(int missing);

private:
    std::unique_ptr<Database> openExisting(Outcome& outcome) const; // for reading
    std::unique_ptr<Database> openWritable(Outcome& outcome) const;
    QString m_path;
};

} // namespace tl
