#include "cli/Args.h"

#include <QRegularExpression>

namespace tl::cli {

Options::Options(const QStringList& args, const OptionSpec& spec) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (!arg.startsWith(QStringLiteral("--")) || arg == QStringLiteral("--")) {
            m_positionals << arg;
            continue;
        }
        QString name = arg;
        QString value;
        bool inlineValue = false;
        if (const qsizetype eq = arg.indexOf(QLatin1Char('=')); eq > 0) {
            name = arg.left(eq);
            value = arg.mid(eq + 1);
            inlineValue = true;
        }
        if (spec.flags.contains(name) && !inlineValue) {
            m_flags << name;
            continue;
        }
        if (!spec.values.contains(name))
            throw UsageError(QStringLiteral("未知的选项：%1").arg(arg));
        if (m_values.contains(name))
            throw UsageError(QStringLiteral("选项 %1 只能给一次。").arg(name));
        if (!inlineValue) {
            if (i + 1 >= args.size())
                throw UsageError(QStringLiteral("选项 %1 缺少取值。").arg(name));
            value = args.at(++i);
        }
        m_values.insert(name, value);
    }
    if (m_positionals.size() > spec.positionals)
        throw UsageError(QStringLiteral("多余的参数：%1").arg(m_positionals.at(spec.positionals)));
    if (m_positionals.size() < spec.positionals)
        throw UsageError(QStringLiteral("缺少参数。"));
}

QString Options::required(const QString& name) const {
    if (!has(name))
        throw UsageError(QStringLiteral("缺少选项 %1。").arg(name));
    return value(name);
}

QDate parseDate(const QString& option, const QString& text) {
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    const QDate date = form.match(text).hasMatch() ? QDate::fromString(text, Qt::ISODate) : QDate();
    if (!date.isValid())
        throw UsageError(QStringLiteral("%1 的日期“%2”无效，日期写作 YYYY-MM-DD，例如 2024-03-31。")
                             .arg(option, text));
    return date;
}

DateRange requiredDates(const Options& options) {
    const QString from = QStringLiteral("--from");
    const QString to = QStringLiteral("--to");
    return {parseDate(from, options.required(from)), parseDate(to, options.required(to))};
}

LineRange parseLines(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,9})-(\\d{1,9})$"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        throw UsageError(
            QStringLiteral("--lines 的取值“%1”无效，应写作 起始行-终止行，例如 2-10。").arg(text));
    const LineRange range{match.captured(1).toInt(), match.captured(2).toInt()};
    if (range.first < 1)
        throw UsageError(QStringLiteral("--lines 的起始行至少为 1。"));
    if (range.last < range.first)
        throw UsageError(QStringLiteral("--lines %1：终止行不能小于起始行。").arg(text));
    return range;
}

QSize parseSize(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const auto match = form.match(text);
    const QSize size =
        match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
    if (size.width() < 16 || size.height() < 16 || size.width() > 10000 || size.height() > 10000)
        throw UsageError(QStringLiteral("--size 的取值“%1”无效，应写作 宽x高（像素，16 至 "
                                        "10000），例如 1180x720。")
                             .arg(text));
    return size;
}

int parseKey(const QString& option, const QString& text) {
    bool ok = false;
    const int key = text.toInt(&ok);
    if (!ok || key < 1)
        throw UsageError(
            QStringLiteral("%1 的取值“%2”无效，应为记录号（大于 0 的整数）。").arg(option, text));
    return key;
}

QStringList parseColumns(const QString& text) {
    static const QRegularExpression letters(QStringLiteral("^[A-Za-z]{1,2}$"));
    QStringList columns;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QString column = part.trimmed().toUpper();
        if (!column.isEmpty() && !letters.match(column).hasMatch())
            throw UsageError(QStringLiteral("--columns 中的“%1”不是列号，列号写作 A 至 ZZ。")
                                 .arg(part.trimmed()));
        columns << column;
    }
    return columns;
}

ListedTable requireTable(std::optional<ListedTable> table, const QString& name) {
    if (!table)
        throw UsageError(QStringLiteral("未知的表：%1（可用：%2）")
                             .arg(name, listedTableNames().join(QStringLiteral(", "))));
    return *table;
}

} // namespace tl::cli
