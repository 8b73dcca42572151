#include "TextFinder.h"

namespace {

// Letters with a stroke or bar that Unicode does not decompose; shops type their base letter.
char16_t StrokeBase(char16_t c) {
    switch (c) {
    case u'ł':
        return u'l';
    case u'đ':
        return u'd';
    case u'ø':
        return u'o';
    case u'ħ':
        return u'h';
    case u'ı':
        return u'i';
    default:
        return c;
    }
}

} // namespace

QString FoldForFind(const QString& text, bool foldAccents) {
    QString folded = text.toCaseFolded();
    if (!foldAccents)
        return folded;
    const QString split = folded.normalized(QString::NormalizationForm_D);
    QString base;
    base.reserve(split.size());
    for (QChar c : split)
        if (!c.isMark())
            base += QChar(StrokeBase(c.unicode()));
    return base;
}

TextFinder::TextFinder(const CodePage& codePage, const QString& needle, bool foldAccents) {
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        folded_[size_t(b)] =
            FoldForFind(codePage.ToUnicode(std::string_view(&byte, 1)), foldAccents)
                .toStdU16String();
    }
    needle_ = FoldForFind(needle, foldAccents).toStdU16String();
}

bool TextFinder::Matches(std::string_view cell) const {
    if (needle_.empty() || cell.size() * 3 < needle_.size())
        return false;
    buffer_.clear();
    for (char byte : cell)
        buffer_ += folded_[size_t((unsigned char)byte)];
    return buffer_.find(needle_) != std::u16string::npos;
}

std::vector<int> TextFinder::Rows(const TextTable& table, std::span<const int> cols) const {
    std::vector<int> rows;
    if (needle_.empty())
        return rows;
    for (int r = 1; r <= table.Rows(); ++r)
        for (int c : cols)
            if (Matches(table.Cell(r, c))) {
                rows.push_back(r);
                break;
            }
    return rows;
}
