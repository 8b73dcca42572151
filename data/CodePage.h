#pragma once
// The document's texts are bytes of one 8-bit code page. They are converted only where Qt shows
// or takes a text; files and the register get the bytes unchanged.

#include <QString>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

class CodePage {
public:
    // Builds the byte tables with iconv. An unknown name falls back to Latin-1, where every
    // byte is its own character, so no text is ever lost in display.
    explicit CodePage(const std::string& name = "CP1250");

    const std::string& Name() const { return name_; }
    bool Known() const { return known_; }

    QString ToUnicode(std::string_view bytes) const;
    // Bytes for the text; nullopt when a character has no byte in this code page.
    std::optional<std::string> FromUnicode(const QString& text) const;
    std::optional<char> ByteFor(QChar c) const;

private:
    std::string name_;
    bool known_ = false;
    std::array<char16_t, 256> toUnicode_{};
    std::unordered_map<char16_t, char> fromUnicode_;
};

// The code page of the running program ([Locale] CodePage); tests may replace it.
const CodePage& DocumentCodePage();
void SetDocumentCodePage(const std::string& name);
