#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tl::test {

// Runs the built tradeledger-cli as a user would: no display, no
// QT_QPA_PLATFORM, the password in TRADELEDGER_PASSWORD unless none is given.
struct CliResult {
    int code = -1;
    QByteArray out;
    QString err;
};

class CliRunner {
public:
    // The executable the build made, or a copy of it (a program folder of its own).
    explicit CliRunner(QString executable = QString());
    CliResult run(const QStringList& args, const QString& password = QStringLiteral("730281"),
                  const QByteArray& input = {}) const;
    // Without TRADELEDGER_PASSWORD: the password comes from standard input.
    CliResult runWithoutPassword(const QStringList& args, const QByteArray& input) const;
    static QString builtExecutable();

private:
    CliResult start(const QStringList& args, const QString* password,
                    const QByteArray& input) const;
    QString m_executable;
};

} // namespace tl::test
