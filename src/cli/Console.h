#pragma once

#include "core/support/Outcome.h"
#include "core/support/Progress.h"

#include <QByteArray>
#include <QString>
#include <chrono>

namespace tl::cli {

// Standard error carries every message; standard output only the data asked for.
void printError(const QString& text);
void writeOut(const QByteArray& bytes);
bool stderrIsTerminal();

// A failure on standard error: the text, then its detail ("详细信息：…") when
// there is one.
void printFailure(const QString& text, const QString& detail);
// What a core action said, on standard error; nothing for a silent outcome.
void printOutcome(const Outcome& outcome);

// One line on standard error, redrawn in place, when that is a terminal;
// nothing at all in a script or a log file.
class ConsoleProgress : public Progress {
public:
    ConsoleProgress();
    void show(const QString& caption, int total) override;
    void step(int position) override;
    void advance(int steps) override;
    void close() override;

private:
    void draw(bool force);
    bool m_enabled;
    QString m_caption;
    int m_total = 0;
    int m_position = 0;
    int m_drawnPercent = -1;
    bool m_visible = false;
    std::chrono::steady_clock::time_point m_drawnAt;
};

// Reads the password from the terminal without showing it; from standard
// input when that is no terminal (a pipe). Empty when nothing can be read.
QString readPassword(const QString& prompt);

} // namespace tl::cli
