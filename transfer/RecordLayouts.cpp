#include "RecordLayouts.h"

#include "Defs.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_map>

namespace {

void PutBE(std::span<uint8_t> field, uint64_t value) {
    for (size_t i = field.size(); i-- > 0;) {
        field[i] = uint8_t(value & 0xFF);
        value >>= 8;
    }
}

uint64_t GetBE(std::span<const uint8_t> field) {
    uint64_t value = 0;
    for (uint8_t b : field)
        value = (value << 8) | b;
    return value;
}

int32_t GetBE32Signed(std::span<const uint8_t> field) {
    return int32_t(uint32_t(GetBE(field.first(4))));
}

// PluRecord
constexpr size_t PluBarcodeAt = 0, PluNameAt = 7, PluPriceAt = 25, PluDeptAt = 44, PluStocksAt = 45,
                 PluFlagAt = 49;
// DeptRecord
constexpr size_t DeptNameAt = 0, DeptTaxAt = 18, DeptPriceAt = 20;
// Recycling entry
constexpr size_t RecyPriceAt = 9;
// Status answer
constexpr size_t StatusDecimalsAt = 0, StatusCountAt = 7;

} // namespace

// ---- Register status ------------------------------------------------------------------------

uint32_t SalesBlockCount(uint32_t salesRecordCount) {
    return uint32_t(CeilDiv(int64_t(salesRecordCount) * PluSalesRecordSize, BlockSize));
}

std::optional<RegisterStatus> DecodeStatusAnswer(std::span<const uint8_t> answer) {
    if (answer.size() < StatusCountAt + 4)
        return std::nullopt;
    RegisterStatus status;
    status.Decimals = answer[StatusDecimalsAt];
    status.SalesRecordCount = uint32_t(GetBE(answer.subspan(StatusCountAt, 4)));
    if (status.Decimals > MaxDecimals || SalesBlockCount(status.SalesRecordCount) > MaxSalesBlocks)
        return std::nullopt;
    return status;
}

Block EncodeStatusAnswer(const RegisterStatus& status) {
    Block answer{};
    answer[StatusDecimalsAt] = status.Decimals;
    PutBE(std::span(answer).subspan(StatusCountAt, 4), status.SalesRecordCount);
    return answer;
}

int64_t MoneyFactor(const RegisterStatus& status) {
    // Decoded answers never exceed MaxDecimals; the bound only keeps a hand-made status defined.
    return IntPow(10, std::min<int>(status.Decimals, 18));
}

// ---- Texts to numbers -----------------------------------------------------------------------

int64_t IntegerTextValue(std::string_view text) {
    return ParseInt64(text).value_or(0);
}

int64_t BarcodeTextValue(std::string_view text) {
    // A negative number has no packed BCD form.
    const int64_t value = IntegerTextValue(text);
    return value < 0 ? 0 : value;
}

int64_t ScaleDecimalText(std::string_view text, int decimals) {
    // ParseFloat decides what is a number, so every number text of the program is read alike;
    // the scaling itself works on the decimal digits, where a half is really a half.
    if (!ParseFloat(text))
        return 0;
    const char separator = DecimalSeparator();
    size_t i = 0;
    if (i < text.size() && text[i] == '+')
        ++i;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    std::string digits;
    int64_t integerDigits = -1;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigitChar(c))
            digits += c;
        else if (c == separator && integerDigits < 0)
            integerDigits = int64_t(digits.size());
        else
            break;
    }
    if (integerDigits < 0)
        integerDigits = int64_t(digits.size());
    int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negativeExponent = text[i++] == '-';
        for (; i < text.size() && IsDigitChar(text[i]); ++i)
            exponent = std::min<int64_t>(exponent * 10 + (text[i] - '0'), 1'000'000);
        if (negativeExponent)
            exponent = -exponent;
    }

    // Digits before the point once the value is scaled.
    const int64_t whole = integerDigits + exponent + decimals;
    const int64_t size = int64_t(digits.size());
    uint64_t value = 0; // modulo 2^64, which keeps every low bit exact
    for (int64_t k = 0; k < std::min(whole, size); ++k)
        value = value * 10u + uint64_t(digits[size_t(k)] - '0');
    // 10^64 is a multiple of 2^64, so more zeros change nothing.
    for (int64_t k = size; k < std::min<int64_t>(whole, size + 64); ++k)
        value *= 10u;

    if (whole >= 0 && whole < size) {
        const int first = digits[size_t(whole)] - '0';
        const bool restZero = digits.find_first_not_of('0', size_t(whole) + 1) == std::string::npos;
        if (first > 5 || (first == 5 && (!restZero || (value & 1u) != 0)))
            ++value;
    }
    if (negative)
        value = 0u - value;
    return int64_t(value);
}

// ---- Numbers to texts -----------------------------------------------------------------------

std::string BarcodeText(int64_t value) {
    // A row without a barcode is sent as zero: zero comes back as no barcode, not as "0", which
    // would make every such row repeat every other.
    return value == 0 ? std::string() : std::to_string(value);
}

std::string MoneyText(int64_t amount, const RegisterStatus& status) {
    return FormatFixed(double(amount) / double(MoneyFactor(status)), 2);
}

std::string ExactMoneyText(int64_t amount, const RegisterStatus& status) {
    if (status.Decimals <= 2)
        return MoneyText(amount, status);
    // A double holds no more than 15 or so digits; the register's amounts may need more.
    const uint64_t factor = uint64_t(MoneyFactor(status));
    const uint64_t magnitude = amount < 0 ? 0u - uint64_t(amount) : uint64_t(amount);
    const std::string fraction = std::to_string(magnitude % factor);
    return (amount < 0 ? "-" : "") + std::to_string(magnitude / factor) + DecimalSeparator() +
           std::string(size_t(status.Decimals) - fraction.size(), '0') + fraction;
}

std::string QuantityText(int32_t thousandths) {
    return FormatFixed(double(thousandths) / 1000.0, 3);
}

std::string RateText(uint16_t hundredths) {
    std::string text = FormatFixed(double(hundredths) / 100.0, 2);
    if (text.size() < 5)
        text.insert(0, 1, '0');
    return text;
}

// ---- Fixed-width fields ---------------------------------------------------------------------

void PutTextField(std::span<uint8_t> field, std::string_view text) {
    const size_t n = std::min(field.size(), text.size());
    std::memcpy(field.data(), text.data(), n);
    std::fill(field.begin() + std::ptrdiff_t(n), field.end(), uint8_t(0));
}

std::string GetTextField(std::span<const uint8_t> field) {
    const auto end = std::find(field.begin(), field.end(), uint8_t(0));
    return std::string(field.begin(), end);
}

void PutBarcode(std::span<uint8_t, 7> field, int64_t value) {
    const BcdField bcd = Int64ToBcd(14, value);
    std::copy_n(bcd.begin(), 7, field.begin());
}

int64_t GetBarcode(std::span<const uint8_t, 7> field) {
    BcdField bcd{};
    std::copy_n(field.begin(), 7, bcd.begin());
    return BcdToInt64(bcd, 14);
}

// ---- PLU items ------------------------------------------------------------------------------

void EncodePluRecord(const PluRowTexts& row, const RegisterStatus& status,
                     std::span<uint8_t, PluRecordSize> record) {
    std::fill(record.begin(), record.end(), uint8_t(0));
    PutBarcode(record.subspan(PluBarcodeAt).first<7>(), BarcodeTextValue(row[0]));
    PutTextField(record.subspan(PluNameAt, PluNameWidth), row[1]);
    PutBE(record.subspan(PluPriceAt, 4), uint64_t(ScaleDecimalText(row[2], status.Decimals)));
    // An empty or invalid department is 0 - 1, which the register sees as 0xFF.
    record[PluDeptAt] = uint8_t(uint64_t(IntegerTextValue(row[3])) - 1u);
    PutBE(record.subspan(PluStocksAt, 4), uint64_t(ScaleDecimalText(row[4], 3)));
    record[PluFlagAt] = uint8_t(uint64_t(IntegerTextValue(row[5])));
}

bool IsEmptyPluSlot(std::span<const uint8_t, PluRecordSize> record) {
    return record[0] == 0xFF;
}

PluFields DecodePluFields(std::span<const uint8_t, PluRecordSize> record) {
    std::span<const uint8_t> bytes = record;
    PluFields fields;
    fields.barcode = GetBarcode(bytes.subspan(PluBarcodeAt).first<7>());
    fields.name = GetTextField(bytes.subspan(PluNameAt, PluNameWidth));
    fields.price = GetBE32Signed(bytes.subspan(PluPriceAt));
    fields.department = record[PluDeptAt];
    fields.stocks = GetBE32Signed(bytes.subspan(PluStocksAt));
    fields.flag = record[PluFlagAt];
    return fields;
}

PluRecordTexts PluFieldTexts(const PluFields& fields, const RegisterStatus& status) {
    return {
        BarcodeText(fields.barcode),     fields.name,
        MoneyText(fields.price, status), std::to_string(int(fields.department) + 1),
        QuantityText(fields.stocks),     std::to_string(int(fields.flag)),
    };
}

PluRecordTexts DecodePluRecord(std::span<const uint8_t, PluRecordSize> record,
                               const RegisterStatus& status) {
    return PluFieldTexts(DecodePluFields(record), status);
}

void EncodePluWriteRecord(int pluNumber, const PluRowTexts& row, const RegisterStatus& status,
                          std::span<uint8_t, PluWriteRecordSize> record) {
    // The index is the one little-endian number of the register's records.
    const uint32_t index = uint32_t(pluNumber - 1);
    for (size_t i = 0; i < 4; ++i)
        record[i] = uint8_t(index >> (8 * i));
    EncodePluRecord(row, status, record.subspan<4, PluRecordSize>());
}

int PluWriteBlockCount(int rangeBegin, int rangeEnd) {
    return int(CeilDiv(rangeEnd - rangeBegin + 1, PlusPerWriteBlock));
}

int EncodePluWriteBlock(int rangeBegin, int rangeEnd, int blockIndex, const PluRowSource& rows,
                        const RegisterStatus& status, Block& block) {
    block.fill(0);
    int count = 0;
    for (int slot = 0; slot < PlusPerWriteBlock; ++slot) {
        const int plu = rangeBegin + PlusPerWriteBlock * blockIndex + slot;
        if (plu > rangeEnd)
            break;
        EncodePluWriteRecord(
            plu, rows(plu), status,
            std::span(block).subspan(size_t(1 + PluWriteRecordSize * slot)).first<68>());
        count = slot + 1;
    }
    block[0] = uint8_t(count);
    return count;
}

std::vector<PluWriteItem> DecodePluWriteBlock(const Block& block) {
    const int count = std::min<int>(block[0], PlusPerWriteBlock);
    std::vector<PluWriteItem> items(static_cast<size_t>(count));
    for (int slot = 0; slot < count; ++slot) {
        const uint8_t* record = block.data() + 1 + PluWriteRecordSize * slot;
        PluWriteItem& item = items[size_t(slot)];
        item.pluIndex = uint32_t(record[0]) | uint32_t(record[1]) << 8 | uint32_t(record[2]) << 16 |
                        uint32_t(record[3]) << 24;
        std::copy_n(record + 4, PluRecordSize, item.record.begin());
    }
    return items;
}

BlockSpan PluReadBlocks(int rangeBegin, int rangeEnd) {
    return {(rangeBegin - 1) / PlusPerReadBlock, (rangeEnd - 1) / PlusPerReadBlock};
}

std::vector<DecodedPlu> DecodePluReadBlock(const Block& block, int blockNumber, int rangeBegin,
                                           int rangeEnd, const RegisterStatus& status) {
    std::vector<DecodedPlu> items;
    for (int j = 0; j < PlusPerReadBlock; ++j) {
        const int plu = PlusPerReadBlock * blockNumber + j + 1;
        if (plu < rangeBegin || plu > rangeEnd)
            continue;
        const auto record = std::span(block).subspan(size_t(PluRecordSize * j)).first<64>();
        DecodedPlu item;
        item.pluNumber = plu;
        item.emptySlot = IsEmptyPluSlot(record);
        if (!item.emptySlot)
            item.texts = DecodePluRecord(record, status);
        items.push_back(std::move(item));
    }
    return items;
}

void ApplyDecodedPlu(const DecodedPlu& item, PluRowTexts& row) {
    if (item.emptySlot) {
        for (size_t c = 0; c < row.size(); ++c)
            row[c] = LocaleDefault(PLUDefaults[c]);
        return;
    }
    std::copy(item.texts.begin(), item.texts.end(), row.begin());
}

// ---- Sales counters -------------------------------------------------------------------------

void EncodePluSalesRecord(const PluSalesRecord& record,
                          std::span<uint8_t, PluSalesRecordSize> bytes) {
    PutBarcode(bytes.first<7>(), record.barcode);
    PutBE(bytes.subspan(7, 4), uint32_t(record.quantity));
    PutBE(bytes.subspan(11, 6), record.total);
}

std::vector<PluSalesRecord> DecodeSalesStream(std::span<const uint8_t> stream, uint32_t count) {
    const size_t whole = std::min<size_t>(count, stream.size() / PluSalesRecordSize);
    std::vector<PluSalesRecord> records(whole);
    for (size_t k = 0; k < whole; ++k) {
        const auto bytes = stream.subspan(k * PluSalesRecordSize, PluSalesRecordSize);
        records[k].barcode = GetBarcode(bytes.first<7>());
        records[k].quantity = GetBE32Signed(bytes.subspan(7));
        records[k].total = GetBE(bytes.subspan(11, 6));
    }
    return records;
}

std::vector<SalesCounterTexts> MatchSalesRecords(const std::vector<PluSalesRecord>& records,
                                                 int rangeBegin, int rangeEnd,
                                                 const BarcodeSource& barcodes,
                                                 const RegisterStatus& status) {
    // The lowest PLU number of each barcode text wins, so fill the index in ascending order.
    std::unordered_map<std::string_view, int> rowOfBarcode;
    for (int plu = rangeBegin; plu <= rangeEnd; ++plu)
        rowOfBarcode.try_emplace(barcodes(plu), plu);

    std::map<int, const PluSalesRecord*> latest;
    for (const PluSalesRecord& record : records) {
        if (record.barcode == 0)
            continue;
        const auto found = rowOfBarcode.find(BarcodeText(record.barcode));
        if (found != rowOfBarcode.end())
            latest[found->second] = &record;
    }
    std::vector<SalesCounterTexts> result;
    result.reserve(latest.size());
    for (const auto& [plu, record] : latest)
        result.push_back({plu, QuantityText(record->quantity),
                          MoneyText(int64_t(record->total), status), record->total});
    return result;
}

// ---- Departments ----------------------------------------------------------------------------

Block EncodeDeptBlock(std::span<const DeptRowTexts, DeptCount> rows, const RegisterStatus& status) {
    Block block{};
    for (size_t d = 0; d < DeptCount; ++d) {
        auto record = std::span(block).subspan(d * DeptRecordSize, DeptRecordSize);
        PutTextField(record.subspan(DeptNameAt, 18), rows[d][0]);
        record[DeptTaxAt] = uint8_t(uint64_t(IntegerTextValue(rows[d][1])) - 1u);
        PutBE(record.subspan(DeptPriceAt, 4),
              uint64_t(ScaleDecimalText(rows[d][2], status.Decimals)));
    }
    return block;
}

std::array<DeptFields, DeptCount> DecodeDeptFields(const Block& block) {
    std::array<DeptFields, DeptCount> fields;
    for (size_t d = 0; d < DeptCount; ++d) {
        const auto record = std::span(block).subspan(d * DeptRecordSize, DeptRecordSize);
        fields[d] = {GetTextField(record.subspan(DeptNameAt, 18)), record[DeptTaxAt],
                     GetBE32Signed(record.subspan(DeptPriceAt))};
    }
    return fields;
}

DeptRowTexts DeptFieldTexts(const DeptFields& fields, const RegisterStatus& status) {
    return {fields.name, std::to_string(int(fields.tax) + 1), MoneyText(fields.price, status)};
}

std::array<DeptRowTexts, DeptCount> DecodeDeptBlock(const Block& block,
                                                    const RegisterStatus& status) {
    std::array<DeptRowTexts, DeptCount> rows;
    const std::array<DeptFields, DeptCount> fields = DecodeDeptFields(block);
    for (size_t d = 0; d < DeptCount; ++d)
        rows[d] = DeptFieldTexts(fields[d], status);
    return rows;
}

// ---- Recycling table ------------------------------------------------------------------------

RecyclingImage EncodeRecyclingImage(std::span<const RecyEntryTexts> entries,
                                    const RegisterStatus& status) {
    RecyclingImage image{};
    for (const RecyEntryTexts& entry : entries) {
        const int64_t number = IntegerTextValue(entry.first);
        if (number < 1 || number > RecyclingEntries)
            continue;
        PutBE(std::span(image).subspan(size_t(number - 1) * RecyclingEntrySize + RecyPriceAt, 4),
              uint64_t(ScaleDecimalText(entry.second, status.Decimals)));
    }
    return image;
}

uint32_t RecyclingPrice(const RecyclingImage& image, int number) {
    return uint32_t(
        GetBE(std::span(image).subspan(size_t(number - 1) * RecyclingEntrySize + RecyPriceAt, 4)));
}

std::array<RecyEntryTexts, RecyclingEntries> DecodeRecyclingImage(const RecyclingImage& image,
                                                                  const RegisterStatus& status) {
    std::array<RecyEntryTexts, RecyclingEntries> entries;
    for (size_t j = 0; j < RecyclingEntries; ++j)
        entries[j] = {std::to_string(j + 1),
                      MoneyText(int64_t(RecyclingPrice(image, int(j + 1))), status)};
    return entries;
}

std::span<const uint8_t, BlockSize> RecyclingBlock(const RecyclingImage& image, int k) {
    return std::span(image).subspan(size_t(k) * BlockSize).first<BlockSize>();
}

std::span<uint8_t, BlockSize> RecyclingBlock(RecyclingImage& image, int k) {
    return std::span(image).subspan(size_t(k) * BlockSize).first<BlockSize>();
}

// ---- Memory pages ---------------------------------------------------------------------------

Block MemoryPageRequest(int page, int area) {
    Block request{};
    request[0] = uint8_t(page & 0xFF);
    request[1] = uint8_t((page >> 8) & 0xFF);
    request[2] = uint8_t(area * 16);
    return request;
}
