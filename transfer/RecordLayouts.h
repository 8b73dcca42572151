#pragma once
// How each kind of register data lies in the 256-byte data area of a block, and the conversions
// between those bytes and the document's cell texts. Pure functions of their arguments: no
// windows, no files, no link. Texts are code-page bytes and pass through unchanged; number texts
// use DecimalSeparator().

#include "IBusNames.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// ---- Register status ------------------------------------------------------------------------

struct RegisterStatus {
    uint8_t Decimals = 0;          // decimal places of money amounts in the register
    uint32_t SalesRecordCount = 0; // PluSalesRecords the register holds
};

// 10^9 still fits the 32-bit money fields; a register claiming more decimals cannot be served.
inline constexpr int MaxDecimals = 9;
// Sales blocks are addressed by a 16-bit block number.
inline constexpr uint32_t MaxSalesBlocks = 65536;

// Reads the status answer (command 0). Empty when the answer is unusable: shorter than the
// fields, Decimals above MaxDecimals, or more sales records than block numbers can reach.
std::optional<RegisterStatus> DecodeStatusAnswer(std::span<const uint8_t> answer);
// The register's side of the same answer (for a simulated register and tests).
Block EncodeStatusAnswer(const RegisterStatus& status);

int64_t MoneyFactor(const RegisterStatus& status);

// ---- Texts to numbers -----------------------------------------------------------------------

// Decimal integer; empty or not an integer gives 0.
int64_t IntegerTextValue(std::string_view text);
// Decimal integer; anything that is no barcode (empty, invalid, negative) gives 0.
int64_t BarcodeTextValue(std::string_view text);
// The number text times 10^decimals, rounded half to even on the text's exact decimal value.
// A text that is no number gives 0. Values beyond 64 bits keep their low 64 bits, so the low
// 32 or 16 bits the fields take are always those of the exact result.
int64_t ScaleDecimalText(std::string_view text, int decimals);

// ---- Numbers to texts -----------------------------------------------------------------------

// The decimal text; zero (no barcode) is the empty text.
std::string BarcodeText(int64_t value);
// Two decimals whatever Decimals is.
std::string MoneyText(int64_t amount, const RegisterStatus& status);
// Every decimal the register counts, and at least two: the same text as MoneyText up to two
// decimals, and no amount lost beyond them.
std::string ExactMoneyText(int64_t amount, const RegisterStatus& status);
std::string QuantityText(int32_t thousandths);
// Five characters for every rate below 100 %: 750 gives 07.50.
std::string RateText(uint16_t hundredths);

// ---- Fixed-width fields ---------------------------------------------------------------------

// At most field.size() bytes of the text, the rest 0 (no terminator when the text fills it).
void PutTextField(std::span<uint8_t> field, std::string_view text);
// The bytes up to the first 0 or the end of the field.
std::string GetTextField(std::span<const uint8_t> field);
void PutBarcode(std::span<uint8_t, 7> field, int64_t value);
int64_t GetBarcode(std::span<const uint8_t, 7> field);

// ---- PLU items ------------------------------------------------------------------------------

// PLUGrid columns 1 to 8: Barcode, Name, Unit price, Department, Stocks, Flag, Quantity, Total.
using PluRowTexts = std::array<std::string, 8>;
// The columns a PluRecord carries, 1 to 6.
using PluRecordTexts = std::array<std::string, 6>;

inline constexpr int PluRecordSize = 64;
inline constexpr int PluWriteRecordSize = 68;
inline constexpr int PluNameWidth = 18;
inline constexpr int PlusPerWriteBlock = 3;
inline constexpr int PlusPerReadBlock = 4;

// A PluRecord's fields as numbers, as the register holds them: what a download would change
// is exactly where two of these differ.
struct PluFields {
    int64_t barcode = 0;
    std::string name;
    int32_t price = 0;      // money units
    uint8_t department = 0; // department number - 1
    int32_t stocks = 0;     // thousandths
    uint8_t flag = 0;
    bool operator==(const PluFields&) const = default;
};

void EncodePluRecord(const PluRowTexts& row, const RegisterStatus& status,
                     std::span<uint8_t, PluRecordSize> record);
PluFields DecodePluFields(std::span<const uint8_t, PluRecordSize> record);
// The texts the upload writes for the fields.
PluRecordTexts PluFieldTexts(const PluFields& fields, const RegisterStatus& status);
PluRecordTexts DecodePluRecord(std::span<const uint8_t, PluRecordSize> record,
                               const RegisterStatus& status);
// A PluRecord whose first byte is 0xFF is an empty slot.
bool IsEmptyPluSlot(std::span<const uint8_t, PluRecordSize> record);

void EncodePluWriteRecord(int pluNumber, const PluRowTexts& row, const RegisterStatus& status,
                          std::span<uint8_t, PluWriteRecordSize> record);

// The row of a PLU number (1 to 30000).
using PluRowSource = std::function<const PluRowTexts&(int pluNumber)>;

// Blocks of command 13 for the range: three items to a block.
int PluWriteBlockCount(int rangeBegin, int rangeEnd);
// Fills block j of the range (PLU numbers rangeBegin + 3j onward, at most rangeEnd) and returns
// its record count. Bytes after the last record are 0.
int EncodePluWriteBlock(int rangeBegin, int rangeEnd, int blockIndex, const PluRowSource& rows,
                        const RegisterStatus& status, Block& block);

// A PLU write block as the register reads it: PLU index and record of each item. A count byte
// above 3 is taken as 3, since a block holds no more.
struct PluWriteItem {
    uint32_t pluIndex = 0; // PLU number - 1
    std::array<uint8_t, PluRecordSize> record{};
};
std::vector<PluWriteItem> DecodePluWriteBlock(const Block& block);

// Command-11 blocks that cover the range: first and last block number.
struct BlockSpan {
    int first = 0;
    int last = -1;
    int Count() const { return last - first + 1; }
};
BlockSpan PluReadBlocks(int rangeBegin, int rangeEnd);

// One item of a command-11 block that lies inside the range.
struct DecodedPlu {
    int pluNumber = 0;
    bool emptySlot = false; // the row takes the default texts in all eight columns
    PluRecordTexts texts;   // columns 1 to 6 when not emptySlot
};
std::vector<DecodedPlu> DecodePluReadBlock(const Block& block, int blockNumber, int rangeBegin,
                                           int rangeEnd, const RegisterStatus& status);
// Writes what the upload puts into the row: Quantity and Total stay unless the slot is empty.
void ApplyDecodedPlu(const DecodedPlu& item, PluRowTexts& row);

// ---- Sales counters -------------------------------------------------------------------------

inline constexpr int PluSalesRecordSize = 17;

struct PluSalesRecord {
    int64_t barcode = 0;
    int32_t quantity = 0; // thousandths
    uint64_t total = 0;   // money units, 48 bits
};

uint32_t SalesBlockCount(uint32_t salesRecordCount);
void EncodePluSalesRecord(const PluSalesRecord& record,
                          std::span<uint8_t, PluSalesRecordSize> bytes);
// The stream is the command-8 blocks joined in block order; records run across block borders.
// Only records that lie wholly inside the stream are returned.
std::vector<PluSalesRecord> DecodeSalesStream(std::span<const uint8_t> stream, uint32_t count);

struct SalesCounterTexts {
    int pluNumber = 0;
    std::string quantity;     // column 7
    std::string total;        // column 8
    uint64_t totalAmount = 0; // the total in money units, as the register counts it
};
// The texts must stay in place while MatchSalesRecords runs.
using BarcodeSource = std::function<std::string_view(int pluNumber)>;
// For each record with a barcode, the first row of the range whose Barcode text equals the
// barcode's decimal text gets its counters; a later record for the same row wins. Records that
// match no row are dropped. One entry per row, ascending.
std::vector<SalesCounterTexts> MatchSalesRecords(const std::vector<PluSalesRecord>& records,
                                                 int rangeBegin, int rangeEnd,
                                                 const BarcodeSource& barcodes,
                                                 const RegisterStatus& status);

// ---- Departments ----------------------------------------------------------------------------

inline constexpr int DeptRecordSize = 32;
inline constexpr int DeptCount = 8;
// DeptmentGrid columns 1 to 3: Name, Tax, Unit price.
using DeptRowTexts = std::array<std::string, 3>;

struct DeptFields {
    std::string name;
    uint8_t tax = 0;   // tax number - 1
    int32_t price = 0; // money units
    bool operator==(const DeptFields&) const = default;
};

Block EncodeDeptBlock(std::span<const DeptRowTexts, DeptCount> rows, const RegisterStatus& status);
std::array<DeptFields, DeptCount> DecodeDeptFields(const Block& block);
DeptRowTexts DeptFieldTexts(const DeptFields& fields, const RegisterStatus& status);
std::array<DeptRowTexts, DeptCount> DecodeDeptBlock(const Block& block,
                                                    const RegisterStatus& status);

// ---- Recycling table ------------------------------------------------------------------------

inline constexpr int RecyclingEntries = 100;
inline constexpr int RecyclingEntrySize = 16;
inline constexpr int RecyclingBlocks = 7;
using RecyclingImage = std::array<uint8_t, RecyclingBlocks * BlockSize>;
// Number text and package price text.
using RecyEntryTexts = std::pair<std::string, std::string>;

// Each entry goes to the place of its number (1 to 100), not of its position; other numbers are
// skipped and the later of two entries with one number wins.
RecyclingImage EncodeRecyclingImage(std::span<const RecyEntryTexts> entries,
                                    const RegisterStatus& status);
// Entry j gets the number j + 1 and the price stored under that number.
std::array<RecyEntryTexts, RecyclingEntries> DecodeRecyclingImage(const RecyclingImage& image,
                                                                  const RegisterStatus& status);
// The package price of number n (1 to 100) in money units.
uint32_t RecyclingPrice(const RecyclingImage& image, int number);
std::span<const uint8_t, BlockSize> RecyclingBlock(const RecyclingImage& image, int k);
std::span<uint8_t, BlockSize> RecyclingBlock(RecyclingImage& image, int k);

// ---- Memory pages ---------------------------------------------------------------------------

enum MemoryArea { MemoryRom = 0, MemoryRam = 1 };
// The request data of a memory page read: the page number and the area in front, zeros after.
Block MemoryPageRequest(int page, int area);
