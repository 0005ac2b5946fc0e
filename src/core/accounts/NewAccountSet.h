#pragma once

#include "core/accounts/Registry.h"

#include <QString>

namespace tl {

// Creating an account set: a copy of the template DB.lbk at a chosen path, or
// an existing account-set file, registered under a name; or the account set's
// tables made in an empty database on a server, or an account set already on
// a server, registered under a name with its postgresql:// address.
class NewAccountSet {
public:
    // The program's registry and template.
    NewAccountSet();
    NewAccountSet(Registry registry, QString templatePath);

    enum class Existing {
        Ask,    // an existing account set is not registered until confirmed
        Use,    // the operator has said Yes to useExistingQuestion()
        Refuse, // the command-line tool makes new files only: any existing file is refused
    };
    struct Result {
        bool created = false; // a row was added to the registry
        // The chosen file is an account set already: nothing was done; the
        // caller asks useExistingQuestion() and on Yes calls again with Use.
        bool needsConfirmation = false;
        QString
            notice; // shown before the outcome: "数据库打开错误！" for a file that is no database
        Outcome outcome; // why not
        // The server wants a password (or refused the one given): the caller
        // asks for it, Database::rememberServerPassword, and calls again.
        bool serverPasswordNeeded = false;
    };

    // Creates and registers. The refusals:
    //  - empty name or path: "套账名称或保存文件不完整，请填写完整！"
    //  - a name with "/", "\\" or a control character: nameCharsMessage()
    //  - with Names::Unique, a name the registry lists already
    //  - an existing file that is no account set: "该文件已经存在，而且不是套账，无法设为套账！"
    //  - an existing account set: needsConfirmation; registered unchanged with Use
    //  - the template DB.lbk or the registry Parameter.mdb: AccountSetFile::reservedMessage()
    //  - no template: "找不到套帐模板文件DB.lbk，无法建立新套帐！"; one this user
    //    may not read: unreadableTemplateMessage()
    //  - a copy that fails (no such folder, no write access): a message, nothing registered.
    // Name and path are registered trimmed. A path beginning with "." lies in the
    // program folder (and is kept relative to it); any other relative path is
    // registered in full, so the account set is found from any working folder.
    // A failed create leaves neither the new file nor a registry row behind.
    Result create(const QString& name, const QString& path, Existing existing = Existing::Ask,
                  Registry::Names names = Registry::Names::MayRepeat) const;
    // Makes the account set's tables (and the preset operator) in the
    // database the address names, which must hold no table at all, and
    // registers it. Refused: an empty name or address, the name rules of
    // create(), an address ServerAddress::parse refuses (its message), a
    // connection that fails (Database::connectServer's message), a database
    // with tables in it (notEmptyMessage(), or alreadyAccountSetMessage()
    // when they are an account set's). Nothing is registered on failure.
    Result createOnServer(const QString& name, const QString& address,
                          Registry::Names names = Registry::Names::MayRepeat) const;
    // Registers the account set that the database at address holds already;
    // refused as createOnServer, and with noAccountSetMessage() for a
    // database that holds none.
    Result registerOnServer(const QString& name, const QString& address,
                            Registry::Names names = Registry::Names::MayRepeat) const;
    static QString notEmptyMessage();
    static QString alreadyAccountSetMessage();
    static QString noAccountSetMessage();

    // "该文件已经存在，是否把新建套账指向这个文件？"
    static QString useExistingQuestion();
    static QString nameCharsMessage();
    static QString existingFileMessage(const QString& path);
    // "无法读取套帐模板文件DB.lbk：" and the reason; empty when it can be read.
    static QString unreadableTemplateMessage(const QString& path);

private:
    enum class OnServer { Create, Register };
    Result onServer(const QString& name, const QString& address, OnServer action,
                    Registry::Names names) const;

    Registry m_registry;
    QString m_template;
};

} // namespace tl
