#pragma once
// Finding a piece of text in cells of code-page bytes: without regard to case and, when asked,
// letters with accents found by their base letter (ą by a). Each byte of the code page is
// folded once, so a search over 30000 rows costs table look-ups, not conversions.

#include "CodePage.h"
#include "TextTable.h"

#include <QString>

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// How a text is folded before comparing: case folded, and with foldAccents the marks that
// Unicode decomposition splits off are dropped (a few letters with strokes go to their base).
QString FoldForFind(const QString& text, bool foldAccents);

class TextFinder {
public:
    TextFinder(const CodePage& codePage, const QString& needle, bool foldAccents);

    bool Empty() const { return needle_.empty(); }
    bool Matches(std::string_view cell) const;
    // Rows (1-based, ascending) where any of the columns matches. Nothing for an empty needle.
    std::vector<int> Rows(const TextTable& table, std::span<const int> cols) const;

private:
    std::array<std::u16string, 256> folded_;
    std::u16string needle_;
    mutable std::u16string buffer_;
};
