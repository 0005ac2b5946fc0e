#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace tl {

// Where an account set on a database server lives, written as
// postgresql://USER@HOST:PORT/DBNAME (parameters such as ?sslmode=require
// may follow). A password never belongs in it: the server's password comes
// from ~/.pgpass or PGPASSWORD, or is asked once per session.
struct ServerAddress {
    QString user;
    QString host = QStringLiteral("localhost");
    int port = 5432;
    QString database;
    // Further connection settings (sslmode, options, connect_timeout ...) as given.
    QList<QPair<QString, QString>> options;

    // True when the text names a server rather than a file: it starts with
    // postgresql:// or postgres://.
    static bool isAddress(const QString& text);
    // Reads an address; on a fault returns false with a message for the
    // operator in problem.
    static bool parse(const QString& text, ServerAddress& address, QString* problem = nullptr);
    // The address as the registry stores it, without the password.
    QString toString() const;
};

} // namespace tl
