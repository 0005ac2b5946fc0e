#include "core/importexport/ImportValues.h"

#include <charconv>
#include <limits>
#include <string_view>

namespace tl {

namespace {
bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}
} // namespace

std::optional<double> importNumber(const QString& text) {
    // The number's characters without the blanks and the grouping commas.
    char number[128];
    int length = 0;
    const QChar* d = text.constData();
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto put = [&](QChar c) {
        if (length < int(sizeof number))
            number[length++] = char(c.unicode());
    };
    auto atDigit = [&] {
        while (i < n && isBlank(d[i]))
            ++i;
        return i < n && d[i] >= u'0' && d[i] <= u'9';
    };
    auto digits = [&] {
        int count = 0;
        for (; atDigit(); ++i, ++count)
            put(d[i]);
        return count;
    };
    // A comma continues the number when a group of exactly three digits follows.
    auto groupFollows = [&] {
        int found = 0;
        for (qsizetype k = i + 1; k < n && found < 4; ++k) {
            if (isBlank(d[k]))
                continue;
            if (d[k] < u'0' || d[k] > u'9')
                break;
            ++found;
        }
        return found == 3;
    };
    auto at = [&](char16_t c) {
        while (i < n && isBlank(d[i]))
            ++i;
        return i < n && d[i] == c;
    };

    if (at(u'+') || at(u'-'))
        put(d[i++]);
    int count = digits();
    while (count > 0 && at(u',') && groupFollows()) {
        ++i;
        digits();
    }
    if (at(u'.')) {
        put(d[i++]);
        count += digits();
    }
    if (count == 0)
        return std::nullopt;
    if (at(u'e') || at(u'E')) {
        const int mantissa = length;
        const qsizetype mark = i;
        put(d[i++]);
        if (at(u'+') || at(u'-'))
            put(d[i++]);
        if (digits() == 0) { // "1e" is the number 1 followed by a letter
            length = mantissa;
            i = mark;
        }
    }
    if (length >= int(sizeof number))
        return std::numeric_limits<double>::infinity(); // no sound quantity or price is this long
    const char* first = number[0] == '+' ? number + 1 : number;
    double value = 0;
    const auto [end, error] = std::from_chars(first, number + length, value);
    if (error == std::errc::result_out_of_range) {
        // Beyond the range of a double: infinity, which the stores refuse; a
        // number too small to tell from 0 is 0.
        const bool tiny =
            std::string_view(first, number + length).find("e-") != std::string_view::npos;
        value = tiny ? 0 : std::numeric_limits<double>::infinity();
        return number[0] == '-' ? -value : value;
    }
    return error == std::errc() ? std::optional<double>(value) : std::nullopt;
}

std::optional<double> importMoney(const QString& text) {
    QString t = text;
    t.remove(QLatin1Char('$'));
    t.remove(QChar(0xFFE5)); // ￥
    t.remove(QChar(0x00A5)); // ¥, the half-width form many files use
    return importNumber(t);
}

QDate importDate(const QString& text) {
    // Read by hand: this runs once per imported line.
    const QChar* d = text.constData();
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto blanks = [&] {
        while (i < n && d[i].isSpace())
            ++i;
    };
    // A number of up to four digits and how many it has; -1 for none or more.
    auto number = [&](int& digits) {
        int value = 0;
        for (digits = 0; i < n && digits < 5 && d[i] >= u'0' && d[i] <= u'9'; ++i, ++digits)
            value = value * 10 + (d[i].unicode() - u'0');
        return digits > 0 && digits < 5 ? value : -1;
    };
    auto separator = [&](char16_t word) {
        blanks();
        if (i < n && (d[i] == u'-' || d[i] == u'/' || d[i] == u'.' || (word && d[i] == word))) {
            ++i;
            blanks();
            return true;
        }
        return false;
    };
    blanks();
    int length1 = 0, length2 = 0, length3 = 0;
    const int first = number(length1);
    const bool yearFirst = length1 == 4;
    if (first < 0 || length1 == 3 || !separator(yearFirst ? u'年' : 0))
        return {};
    const int second = number(length2);
    if (second < 0 || length2 > 2 || !separator(yearFirst ? u'月' : 0))
        return {};
    const int third = number(length3);
    if (third < 0 || (yearFirst ? length3 > 2 : length3 != 4))
        return {};
    blanks();
    if (yearFirst && i < n && d[i] == u'日')
        ++i;
    // A time may follow after a blank or "T"; nothing else may.
    if (i < n && !d[i - 1].isSpace() && d[i] != u'T' && !d[i].isSpace())
        return {};
    if (yearFirst)
        return QDate(first, second, third);
    // Day first only where month first could not be meant: 15/01/2009, 03/03/2009.
    if (first <= 12 && first != second)
        return {};
    return QDate(third, second, first);
}

} // namespace tl
