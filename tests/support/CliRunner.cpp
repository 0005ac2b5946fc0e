#include "support/CliRunner.h"

#include "core/sample/SampleData.h"
#include "support/TestAccountSet.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace tl::test {

std::unique_ptr<TestAccountSet> sampleAccountSet() {
    auto set = std::make_unique<TestAccountSet>();
    SampleData::fill(set->db());
    return set;
}

CliRunner::CliRunner(QString executable)
    : m_executable(executable.isEmpty() ? builtExecutable() : std::move(executable)) {}

CliRunner CliRunner::copiedTo(const QString& folder) {
    const QString tool = folder + QStringLiteral("/tradeledger-cli");
    QFile::copy(builtExecutable(), tool);
    QFile::copy(QFileInfo(builtExecutable()).absolutePath() + QStringLiteral("/DB.lbk"),
                folder + QStringLiteral("/DB.lbk"));
    return CliRunner(tool);
}

QString CliRunner::builtExecutable() {
    return QStringLiteral(TL_CLI_EXECUTABLE);
}

CliResult CliRunner::run(const QStringList& args, const std::optional<QString>& password,
                         const QByteArray& input) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "TRADELEDGER_PASSWORD"})
        env.remove(QString::fromLatin1(name));
    if (password)
        env.insert(QStringLiteral("TRADELEDGER_PASSWORD"), *password);
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(m_executable, args);
    CliResult result;
    if (!process.waitForStarted())
        return result;
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace tl::test
