#pragma once

// How a spreadsheet number format shows a number, for both workbook readers
// (the .xlsx reader and the .xls helper). Plain C++, for the helper links no Qt.

#include <string_view>

namespace tl::numfmt {

// As the number itself, as a date (and time), or as a time of day alone.
enum class Shown : unsigned char { Number, Date, Time };

// The formats every workbook knows by number, as Chinese spreadsheet
// programs number them.
inline Shown builtin(int id) {
    if ((id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 31) || id == 36 ||
        (id >= 50 && id <= 54) || id == 57 || id == 58)
        return Shown::Date;
    if ((id >= 18 && id <= 21) || (id >= 32 && id <= 35) || (id >= 45 && id <= 47) || id == 55 ||
        id == 56)
        return Shown::Time;
    return Shown::Number;
}

// A format written out, told by its first section's letters outside quoted
// text, escapes and [...] parts (colours, locales, elapsed hours): y or d
// show a date, h or s a time (an m among them is the minute), an m alone the
// month. UTF-16 code units, so non-Latin text passes as it is.
inline Shown custom(std::u16string_view code) {
    bool quoted = false, month = false, time = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char16_t c = code[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const std::size_t end = code.find(u']', i);
            if (end == std::u16string_view::npos)
                break;
            i = end;
        } else if (c == u';') {
            break;
        } else {
            const char16_t l = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
            if (l == u'y' || l == u'd')
                return Shown::Date;
            month |= l == u'm';
            time |= l == u'h' || l == u's';
        }
    }
    return time ? Shown::Time : month ? Shown::Date : Shown::Number;
}

} // namespace tl::numfmt
