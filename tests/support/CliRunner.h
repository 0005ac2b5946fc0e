#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace tl::test {

class TestAccountSet;

// A fresh account set holding the sample data, for the tool to work on.
std::unique_ptr<TestAccountSet> sampleAccountSet();

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
    // A copy of the built tool in folder, with the build's template DB.lbk
    // beside it: a program folder of its own, with its own registry.
    static CliRunner copiedTo(const QString& folder);
    // Without a password (std::nullopt) the tool reads it from standard input.
    CliResult run(const QStringList& args,
                  const std::optional<QString>& password = QStringLiteral("730281"),
                  const QByteArray& input = {}) const;
    static QString builtExecutable();

private:
    QString m_executable;
};

} // namespace tl::test
