#include "CodePage.h"

#include <iconv.h>

#include <memory>

namespace {

// Bytes the code page leaves undefined still have to show and come back unchanged; a private
// use character per byte does both.
constexpr char16_t UndefinedBase = 0xF700;

std::unique_ptr<CodePage>& Current() {
    static std::unique_ptr<CodePage> current;
    return current;
}

} // namespace

CodePage::CodePage(const std::string& name) : name_(name) {
    iconv_t cd = iconv_open("UTF-16LE", name.c_str());
    known_ = cd != iconv_t(-1);
    for (int b = 0; b < 256; ++b) {
        char16_t unit = char16_t(UndefinedBase + b);
        if (!known_) {
            unit = char16_t(b);
        } else if (b < 0x80) {
            unit = char16_t(b);
        } else {
            char in = char(b);
            char out[4];
            char* inPtr = &in;
            char* outPtr = out;
            size_t inLeft = 1, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && outLeft == 2)
                unit = char16_t(uint8_t(out[0]) | (uint8_t(out[1]) << 8));
        }
        toUnicode_[size_t(b)] = unit;
        fromUnicode_.emplace(unit, char(b));
    }
    if (known_)
        iconv_close(cd);
}

QString CodePage::ToUnicode(std::string_view bytes) const {
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (size_t i = 0; i < bytes.size(); ++i)
        out[i] = QChar(toUnicode_[uint8_t(bytes[i])]);
    return text;
}

std::optional<char> CodePage::ByteFor(QChar c) const {
    auto it = fromUnicode_.find(c.unicode());
    if (it == fromUnicode_.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::string> CodePage::FromUnicode(const QString& text) const {
    std::string bytes;
    bytes.reserve(size_t(text.size()));
    for (QChar c : text) {
        auto b = ByteFor(c);
        if (!b)
            return std::nullopt;
        bytes += *b;
    }
    return bytes;
}

const CodePage& DocumentCodePage() {
    if (!Current())
        Current() = std::make_unique<CodePage>("CP1250");
    return *Current();
}

void SetDocumentCodePage(const std::string& name) {
    Current() = std::make_unique<CodePage>(name);
}
