#include "Document.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double StocksLimit = 79999.999;

std::vector<std::string> Defaults(std::span<const char* const> texts) {
    std::vector<std::string> defaults;
    for (const char* text : texts)
        defaults.push_back(LocaleDefault(text));
    return defaults;
}

std::string RepeatMessage(const char* format, int first, int second) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, first, second);
    return buffer;
}

CellCheck Invalid(std::string reason) {
    return {CellCheck::Invalid, {}, std::move(reason)};
}
CellCheck Duplicate(const char* format, int row, int other) {
    std::string message = RepeatMessage(format, row, other);
    return {CellCheck::Duplicate, message, message};
}
CellCheck TooLong(int limit) {
    return Invalid("longer than " + std::to_string(limit) + " characters");
}

// Number cells: parse, range-check, write back in fixed form.
CellCheck NormaliseNumber(std::string& text, int decimals, double limit, bool absolute) {
    auto value = ParseFloat(text);
    if (!value || !std::isfinite(*value))
        return Invalid("not a number");
    if ((absolute ? std::fabs(*value) : *value) > limit) {
        const std::string bound = FormatFixed(limit, decimals);
        return Invalid(absolute ? "outside -" + bound + " to " + bound : "above " + bound);
    }
    text = FormatFixed(*value, decimals);
    return {};
}

// Typing stops at the column's length, but an upload writes a register's stocks as "%.3f":
// -54321.600 is one character longer and still a value the register holds.
// Such a text is judged by its value: one beyond the range is told so, not that it is long.
bool IsNormalStocks(const std::string& text) {
    const auto value = ParseFloat(text);
    return value && std::isfinite(*value) && FormatFixed(*value, 3) == text;
}

CellCheck NormaliseInteger(std::string& text, int64_t low, int64_t high) {
    auto value = ParseInt64(text);
    if (!value || *value < low || *value > high)
        return Invalid("not a whole number from " + std::to_string(low) + " to " +
                       std::to_string(high));
    text = std::to_string(*value);
    return {};
}

} // namespace

void InitialRecyTable(RecyTable& table) {
    for (int k = 0; k < RecyEntryCount; ++k)
        table[size_t(k)] = {std::to_string(k + 1), LocaleDefault(RecyDefaults[1])};
}

TextTable MakePLUTable() {
    return TextTable(PLURowCount, PLUColCount - 1, Defaults(PLUDefaults));
}
TextTable MakeDeptTable() {
    return TextTable(DeptRowCount, DeptColCount - 1, Defaults(DeptDefaults));
}

CellCheck ValidatePLUCell(TextTable& plu, const TextTable& dept, int col, int row) {
    std::string& text = plu.Cell(row, col);
    if (int(text.size()) > PLUMaxLen[size_t(col)] &&
        !(col == PLUStocksColumn && IsNormalStocks(text)))
        return TooLong(PLUMaxLen[size_t(col)]);
    if (text.empty()) {
        plu.ResetCell(row, col);
        return {};
    }
    const int scanRows = std::min(DuplicateScanRows, plu.Rows());
    switch (col) {
    case 2: // Name
        for (int i = 1; i <= scanRows; ++i)
            if (i != row && plu.Cell(i, 2) == text)
                return Duplicate("PLU name repeat: No. %d and No. %d", row, i);
        for (int j = 1; j <= dept.Rows(); ++j)
            if (dept.Cell(j, 1) == text)
                return Duplicate("PLU name and Dept name repeat: No. %d and No. %d", row, j);
        return {};
    case 1: { // Barcode: compared as typed, stored without leading zeros
        auto value = ParseInt64(text);
        if (!value)
            return Invalid("not a whole number");
        for (int i = 1; i <= scanRows; ++i)
            if (i != row && plu.Cell(i, 1) == text)
                return Duplicate("PLU BCode repeat: No. %d and No. %d", row, i);
        text = std::to_string(*value);
        return {};
    }
    case 3:
        return NormaliseNumber(text, 2, 999999.99, false);
    case 5:
        return NormaliseNumber(text, 3, StocksLimit, true);
    case 4:
        return NormaliseInteger(text, 1, 8);
    case 6:
        return NormaliseInteger(text, 0, 100);
    default: // Quantity and Total stay as typed
        return {};
    }
}

CellCheck ValidateDeptCell(TextTable& dept, const TextTable& plu, int col, int row) {
    std::string& text = dept.Cell(row, col);
    if (int(text.size()) > DeptMaxLen[size_t(col)])
        return TooLong(DeptMaxLen[size_t(col)]);
    if (text.empty()) {
        dept.ResetCell(row, col);
        return {};
    }
    switch (col) {
    case 1:
        for (int i = 1; i <= dept.Rows(); ++i)
            if (i != row && dept.Cell(i, 1) == text)
                return Duplicate("Dept name repeat: No. %d and No. %d", row, i);
        for (int j = 1; j <= std::min(DuplicateScanRows, plu.Rows()); ++j)
            if (plu.Cell(j, 2) == text)
                return Duplicate("Dept name and PLU name repeat: No. %d and No. %d", row, j);
        return {};
    case 2:
        return NormaliseInteger(text, 1, 9);
    default:
        return NormaliseNumber(text, 2, HUGE_VAL, false);
    }
}

CellCheck ValidateRecyPrice(std::string& text) {
    if (int(text.size()) > RecyMaxLen[1])
        return TooLong(RecyMaxLen[1]);
    if (text.empty()) {
        text = LocaleDefault(RecyDefaults[1]);
        return {};
    }
    return NormaliseNumber(text, 2, HUGE_VAL, false);
}

void FillTestData(TextTable& plu, TextTable& dept, RecyTable& recy) {
    char barcode[32];
    for (int n = 1; n <= plu.Rows(); ++n) {
        plu.Cell(n, 2) = "PLU-" + std::to_string(n);
        plu.Cell(n, 4) = std::to_string(n % 8 + 1);
        plu.Cell(n, 3) = FormatFixed(n * 10.0, 2);
        std::snprintf(barcode, sizeof barcode, "12345678%5.5d", n);
        plu.Cell(n, 1) = barcode;
        plu.Cell(n, 6) = "0";
    }
    for (int n = 1; n <= dept.Rows(); ++n) {
        dept.Cell(n, 1) = "Deptment-" + std::to_string(n);
        dept.Cell(n, 2) = std::to_string(n % 9 + 1);
        dept.Cell(n, 3) = FormatFixed(n * 10.0, 2);
    }
    for (int k = 0; k < RecyEntryCount; ++k)
        recy[size_t(k)] = {std::to_string(k + 1), FormatFixed((k + 1) * 9.0, 2)};
}
