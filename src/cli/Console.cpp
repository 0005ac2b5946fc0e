#include "cli/Console.h"

#include <csignal>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace tl::cli {
namespace {

termios savedTerminal{};

// Ctrl-C while the password is typed must not leave the terminal silent.
void restoreTerminalAndQuit(int signal) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    _exit(128 + signal);
}

} // namespace

void printError(const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void writeOut(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

bool stderrIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

void printFailure(const QString& text, const QString& detail) {
    printError(text);
    if (!detail.isEmpty())
        printError(QStringLiteral("详细信息：") + detail);
}

void printOutcome(const Outcome& outcome) {
    if (!outcome.message.isEmpty())
        printFailure(outcome.message, outcome.detail);
}

ConsoleProgress::ConsoleProgress() : m_enabled(stderrIsTerminal()) {}

void ConsoleProgress::show(const QString& caption, int total) {
    const bool changed = caption != m_caption;
    m_caption = caption;
    m_total = total;
    m_position = 0;
    draw(changed);
}

// Work of a few phases redraws at every step; long loops at most ten times a second.
constexpr int kFewSteps = 20;

void ConsoleProgress::step(int position) {
    m_position = position;
    draw(m_total <= kFewSteps);
}

void ConsoleProgress::advance(int steps) {
    m_position += steps;
    draw(m_total <= kFewSteps);
}

void ConsoleProgress::close() {
    if (m_enabled && m_visible)
        std::fputs("\r\033[K", stderr);
    m_visible = false;
    m_caption.clear();
    m_drawnPercent = -1;
}

void ConsoleProgress::draw(bool force) {
    if (!m_enabled)
        return;
    const int percent =
        m_total > 0 ? int(qBound(qint64(0), qint64(m_position) * 100 / m_total, qint64(100))) : 0;
    const auto now = std::chrono::steady_clock::now();
    // A terminal redrawn for every record slows the work down; ten times a second is plenty.
    if (!force && (percent == m_drawnPercent || now - m_drawnAt < std::chrono::milliseconds(100)))
        return;
    m_drawnPercent = percent;
    m_drawnAt = now;
    m_visible = true;
    const QByteArray count =
        m_total <= kFewSteps ? QByteArray::number(m_position) + '/' + QByteArray::number(m_total)
                             : QByteArray::number(percent) + '%';
    const QByteArray line = "\r\033[K" + m_caption.toUtf8() + ' ' + count;
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

QString readPassword(const QString& prompt) {
    const bool terminal = isatty(STDIN_FILENO) == 1;
    using Handler = void (*)(int);
    Handler oldInt = nullptr;
    Handler oldTerm = nullptr;
    if (terminal) {
        std::fputs(prompt.toUtf8().constData(), stderr);
        std::fflush(stderr);
        tcgetattr(STDIN_FILENO, &savedTerminal);
        oldInt = std::signal(SIGINT, restoreTerminalAndQuit);
        oldTerm = std::signal(SIGTERM, restoreTerminalAndQuit);
        termios quiet = savedTerminal;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    QByteArray line;
    for (int c = std::fgetc(stdin); c != EOF && c != '\n'; c = std::fgetc(stdin))
        line.append(char(c));
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
        std::signal(SIGINT, oldInt);
        std::signal(SIGTERM, oldTerm);
        std::fputc('\n', stderr);
    }
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

} // namespace tl::cli
