#pragma once
#include "Defs.h"
#include "SheetText.h"

#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// The list the user would see, one problem a line.
inline QString Problems(const std::vector<SheetProblem>& problems) {
    QStringList lines;
    for (const SheetProblem& problem : problems)
        lines << ProblemText(problem);
    return lines.join(u'\n');
}

// With a BOM, as Excel's "Unicode text" and other Windows programs write it.
inline std::string Utf16(const QString& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

struct SeparatorScope {
    explicit SeparatorScope(char c) : previous(DecimalSeparator()) { SetDecimalSeparator(c); }
    ~SeparatorScope() { SetDecimalSeparator(previous); }
    char previous;
};
