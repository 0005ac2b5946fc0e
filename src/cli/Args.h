#pragma once

#include "core/lists/ListedTables.h"

#include <QDate>
#include <QMap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

namespace tl::cli {

// Exit codes of the tool.
enum Exit { Done = 0, Failed = 1, WrongUsage = 2 };

// Wrong usage: the message says what is wrong; the tool exits with 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// The options one command accepts: flags, options with a value, and how many
// plain arguments (a table, a file) it takes.
struct OptionSpec {
    QStringList flags;  // "--values", "--dry-run"
    QStringList values; // "--from", "--out"
    int positionals = 0;
};

// A command's arguments after parsing; "--name=value" and "--name value" both work.
class Options {
public:
    // Throws UsageError for an unknown option, a missing value, a repeated
    // option, or the wrong number of plain arguments.
    Options(const QStringList& args, const OptionSpec& spec);

    bool flag(const QString& name) const { return m_flags.contains(name); }
    bool has(const QString& name) const { return m_values.contains(name); }
    QString value(const QString& name) const { return m_values.value(name); }
    // The option's value; UsageError when it is missing.
    QString required(const QString& name) const;
    const QStringList& positionals() const { return m_positionals; }

private:
    QStringList m_flags;
    QMap<QString, QString> m_values;
    QStringList m_positionals;
};

// YYYY-MM-DD and a real day, else UsageError naming the option.
QDate parseDate(const QString& option, const QString& text);
// --from and --to, both required.
struct DateRange {
    QDate from;
    QDate to;
};
DateRange requiredDates(const Options& options);

// FIRST-LAST with 1 <= FIRST <= LAST.
struct LineRange {
    int first = 0;
    int last = 0;
};
LineRange parseLines(const QString& text);

// WxH in pixels, each between 16 and 10000.
QSize parseSize(const QString& text);

// A whole number above 0 (a key: --warehouse, --product).
int parseKey(const QString& option, const QString& text);

// The table found for a command's table argument (import and export), else
// UsageError naming the argument and listing the tables' names.
ListedTable requireTable(std::optional<ListedTable> table, const QString& name);

// Column letters separated by commas: "B,C,D" (letters A to ZZ, any case); an
// empty entry ("B,,D") stays empty: that field is not in the file.
QStringList parseColumns(const QString& text);

} // namespace tl::cli
