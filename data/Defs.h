#pragma once
// Column tables of the document and the small conversions that the grids, the document files
// and the record layouts share. Texts are bytes of the register's 8-bit code page.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int PLURowCount = 30000;
inline constexpr int PLUColCount = 9; // column 0 is the row number
inline constexpr int DeptRowCount = 8;
inline constexpr int DeptColCount = 4;
inline constexpr int RecyEntryCount = 100;
inline constexpr int DuplicateScanRows = 3000; // names and barcodes are unique among these rows

// Replaceable by the language file, so not const.
extern std::array<std::string, PLUColCount> PLUTitles;
extern std::array<std::string, DeptColCount> DeptTitles;
extern std::array<std::string, 2> RecyTitles;
extern std::array<std::string, 4> DownloadKindNames;
extern std::array<std::string, 4> UploadKindNames;
extern std::array<std::string, 4> TransferWords; // Connect, Disconnect, Download:, Upload:

inline constexpr std::array<int, PLUColCount> PLUMaxLen{5, 13, 18, 9, 1, 9, 3, 10, 10};
inline constexpr std::array<const char*, PLUColCount - 1> PLUDefaults{"",      "",  "0.00", "1",
                                                                      "0.000", "0", "0",    "0"};
inline constexpr std::array<int, DeptColCount> DeptMaxLen{1, 18, 1, 9};
inline constexpr std::array<const char*, DeptColCount - 1> DeptDefaults{"", "1", "0.00"};
inline constexpr std::array<int, 2> RecyMaxLen{3, 8};
inline constexpr std::array<const char*, 2> RecyDefaults{"", "0.00"};

enum DataKind { KindPLU = 0, KindDepartment = 1, KindRecycling = 2, KindParameter = 3 };
enum TransferWord { WordConnect = 0, WordDisconnect = 1, WordDownload = 2, WordUpload = 3 };

// The locale's decimal separator, read once at start; tests set it to try both forms.
char DecimalSeparator();
void SetDecimalSeparator(char separator);

bool IsDigitChar(char c);
bool IsNumericChar(std::string_view currentText, char c);

// Strict readers: the whole text must be the number, written with DecimalSeparator().
std::optional<double> ParseFloat(std::string_view text);
std::optional<int64_t> ParseInt64(std::string_view text);
double FloatOrDefault(std::string_view text, double defaultValue);

// A default text of the column tables in the locale's form: "0.00" reads "0,00" under a comma,
// so an untouched cell passes its own check.
std::string LocaleDefault(const char* text);

// "%.2f" / "%.3f" with DecimalSeparator() and no thousands separator.
std::string FormatFixed(double value, int decimals);

std::string StripLeadingChar(std::string_view text, char c);
int64_t IntPow(int64_t base, int exponent);
int64_t CeilDiv(int64_t a, int64_t b);
void CopyBytes(void* destination, const void* source, int count);
void SplitText(std::string_view text, char separator, std::vector<std::string>& pieces);

using BcdField = std::array<uint8_t, 19>;
int64_t BcdToInt64(const BcdField& field, int digits);
BcdField Int64ToBcd(int digits, int64_t value);

constexpr uint16_t SwapBytes16(uint16_t v) {
    return static_cast<uint16_t>((v << 8) | (v >> 8));
}
constexpr uint32_t SwapBytes32(uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0x0000FF00u) | ((v << 8) & 0x00FF0000u) | (v << 24);
}
