#pragma once
#include "Defs.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <sstream>
#include <string>
#include <vector>

struct SeparatorScope {
    explicit SeparatorScope(char c) : previous(DecimalSeparator()) { SetDecimalSeparator(c); }
    ~SeparatorScope() { SetDecimalSeparator(previous); }
    SeparatorScope(const SeparatorScope&) = delete;
    SeparatorScope& operator=(const SeparatorScope&) = delete;
    char previous;
};

// "05 90 7A" -> bytes
inline std::vector<uint8_t> Hex(const std::string& text) {
    std::vector<uint8_t> bytes;
    std::istringstream in(text);
    std::string piece;
    while (in >> piece)
        bytes.push_back(uint8_t(std::strtoul(piece.c_str(), nullptr, 16)));
    return bytes;
}

inline std::vector<uint8_t> Slice(std::span<const uint8_t> bytes, size_t offset, size_t count) {
    auto part = bytes.subspan(offset, count);
    return {part.begin(), part.end()};
}

// Replaces the decimal point of a text written for '.' by the current separator.
inline std::string Local(std::string text) {
    for (char& c : text)
        if (c == '.')
            c = DecimalSeparator();
    return text;
}
