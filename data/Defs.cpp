#include "Defs.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

std::array<std::string, PLUColCount> PLUTitles{
    "NO.", "Barcode", "Name", "Unit price", "Department", "Stocks", "Flag", "Quantity", "Total"};
std::array<std::string, DeptColCount> DeptTitles{"NO.", "Name", "Tax", "Unit price"};
std::array<std::string, 2> RecyTitles{"No.", "Package price"};
std::array<std::string, 4> DownloadKindNames{"PLU", "department", "recycling", "parameter"};
std::array<std::string, 4> UploadKindNames{"PLU", "department", "recycling", "parameter"};
std::array<std::string, 4> TransferWords{"Connect", "Disconnect", "Download:", "Upload:"};

namespace {
char decimalSeparator = '.';
}

char DecimalSeparator() {
    return decimalSeparator;
}
void SetDecimalSeparator(char separator) {
    decimalSeparator = separator;
}

bool IsDigitChar(char c) {
    return c >= '0' && c <= '9';
}

bool IsNumericChar(std::string_view currentText, char c) {
    const char sep = DecimalSeparator();
    if (!IsDigitChar(c) && c != '-' && c != sep)
        return false;
    if ((c == sep || c == '-') && currentText.find(c) != std::string_view::npos)
        return false;
    return true;
}

std::optional<double> ParseFloat(std::string_view text) {
    const char sep = DecimalSeparator();
    std::string plain;
    plain.reserve(text.size());
    bool seenDigit = false;
    for (char c : text) {
        if (IsDigitChar(c)) {
            seenDigit = true;
            plain += c;
        } else if (c == sep) {
            plain += '.';
        } else if (c == '-' || c == '+' || c == 'e' || c == 'E') {
            plain += c;
        } else {
            return std::nullopt; // also a '.' under a comma locale
        }
    }
    if (!seenDigit)
        return std::nullopt;
    const char* first = plain.data();
    const char* last = first + plain.size();
    if (*first == '+')
        ++first;
    double value = 0;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last)
        return std::nullopt;
    return value;
}

std::optional<int64_t> ParseInt64(std::string_view text) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    int64_t value = 0;
    auto [end, ec] = std::from_chars(first, last, value);
    if (first == last || ec != std::errc() || end != last)
        return std::nullopt;
    return value;
}

double FloatOrDefault(std::string_view text, double defaultValue) {
    return ParseFloat(text).value_or(defaultValue);
}

std::string FormatFixed(double value, int decimals) {
    char buffer[400]; // the longest double in fixed notation, with a few decimals
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        return {};
    std::string text(buffer, end);
    if (DecimalSeparator() != '.') {
        if (auto dot = text.find('.'); dot != std::string::npos)
            text[dot] = DecimalSeparator();
    }
    return text;
}

std::string StripLeadingChar(std::string_view text, char c) {
    size_t i = 0;
    while (i < text.size() && text[i] == c)
        ++i;
    return std::string(text.substr(i));
}

int64_t IntPow(int64_t base, int exponent) {
    int64_t result = 1;
    for (int i = 0; i < (exponent < 0 ? -exponent : exponent); ++i)
        result *= base;
    if (exponent < 0)
        return result == 0 ? 0 : 1 / result;
    return result;
}

int64_t CeilDiv(int64_t a, int64_t b) {
    if (a <= 0)
        return 0;
    return (a + b - 1) / b;
}

void CopyBytes(void* destination, const void* source, int count) {
    if (count > 0)
        std::memcpy(destination, source, size_t(count));
}

void SplitText(std::string_view text, char separator, std::vector<std::string>& pieces) {
    for (;;) {
        size_t at = text.find(separator);
        if (at == std::string_view::npos) {
            pieces.emplace_back(text);
            return;
        }
        pieces.emplace_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
}

int64_t BcdToInt64(const BcdField& field, int digits) {
    const int bytes = std::min<int>(int(CeilDiv(digits, 2)), int(field.size()));
    int64_t result = 0;
    for (int i = 0; i < bytes; ++i) {
        // Unsigned arithmetic: 38 digits of garbage may wrap, never trap.
        result = int64_t(uint64_t(result) * 100u + (field[size_t(i)] >> 4) * 10u +
                         (field[size_t(i)] & 0x0F));
    }
    return result;
}

BcdField Int64ToBcd(int digits, int64_t value) {
    BcdField field{};
    const int bytes = std::min<int>(int(CeilDiv(digits, 2)), int(field.size()));
    uint64_t v = value < 0 ? 0 : uint64_t(value);
    for (int i = bytes - 1; i >= 0; --i) {
        field[size_t(i)] = uint8_t(((v / 10) % 10) * 16 + v % 10);
        v /= 100;
    }
    return field;
}
