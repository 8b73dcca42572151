// Register answers as any bytes through every record decoder: never a crash, only items inside
// the asked range, and what a decoder makes of the bytes encodes to bytes it reads the same way.
#include "FuzzFiles.h"
#include "Ini.h"
#include "ParameterImage.h"
#include "RecordLayouts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

template <size_t N> std::array<uint8_t, N> Bytes(const uint8_t* data, size_t size) {
    std::array<uint8_t, N> out{};
    std::memcpy(out.data(), data, std::min(size, N));
    return out;
}

void Plu(const uint8_t* data, size_t size, const RegisterStatus& status, int a, int b) {
    const Block block = Bytes<BlockSize>(data, size);
    const int blockNumber = a % 7600;
    const int begin = 1 + a % 30000;
    const int end = std::clamp(begin + b, 1, 30000);
    for (const DecodedPlu& item : DecodePluReadBlock(block, blockNumber, begin, end, status)) {
        FuzzCheck(item.pluNumber >= begin && item.pluNumber <= end, "PLU outside the range");
        PluRowTexts row;
        row.fill("0");
        ApplyDecodedPlu(item, row);
        // Money texts carry two decimals: a register with more cannot come back exactly.
        if (item.emptySlot || status.Decimals > 2)
            continue;
        std::array<uint8_t, PluRecordSize> record{};
        EncodePluRecord(row, status, record);
        PluRecordTexts again = DecodePluRecord(record, status);
        // Nibbles above 9 read as a barcode of 15 digits, which no register field holds.
        if (item.texts[0].size() > 14)
            again[0] = item.texts[0];
        for (size_t i = 0; i < again.size(); ++i)
            if (again[i] != item.texts[i])
                std::fprintf(stderr, "column %zu: '%s' became '%s'\n", i + 1, item.texts[i].c_str(),
                             again[i].c_str());
        FuzzCheck(again == item.texts, "PLU record not stable");
    }
    for (const PluWriteItem& item : DecodePluWriteBlock(block))
        (void)DecodePluRecord(item.record, status);
}

void Dept(const uint8_t* data, size_t size, const RegisterStatus& status) {
    const auto rows = DecodeDeptBlock(Bytes<BlockSize>(data, size), status);
    FuzzCheck(status.Decimals > 2 || DecodeDeptBlock(EncodeDeptBlock(rows, status), status) == rows,
              "department block not stable");
}

void Recycling(const uint8_t* data, size_t size, const RegisterStatus& status) {
    const auto entries =
        DecodeRecyclingImage(Bytes<RecyclingBlocks * BlockSize>(data, size), status);
    const std::vector<RecyEntryTexts> list(entries.begin(), entries.end());
    FuzzCheck(status.Decimals > 2 ||
                  DecodeRecyclingImage(EncodeRecyclingImage(list, status), status) == entries,
              "recycling image not stable");
}

void Parameters(const uint8_t* data, size_t size) {
    ParameterSet set = ParameterSet::Defaults();
    DecodeParameterImage(Bytes<ParameterImageSize>(data, size), set);
    IniFile ini = IniFile::FromText("");
    WriteParameterSet(ini, set);
    const ParameterSet reread = ReadParameterSet(IniFile::FromText(ini.Text()));
    ParameterSet again = ParameterSet::Defaults();
    DecodeParameterImage(EncodeParameterImage(reread), again);
    FuzzCheck(EncodeParameterImage(again) == EncodeParameterImage(reread),
              "parameter image not stable");
}

void Sales(const uint8_t* data, size_t size, const RegisterStatus& status, int a) {
    const auto records = DecodeSalesStream({data, size}, status.SalesRecordCount);
    FuzzCheck(records.size() <= size / PluSalesRecordSize, "sales records beyond the stream");
    std::array<std::string, 16> barcodes;
    for (size_t i = 0; i < barcodes.size(); ++i)
        barcodes[i] = i < records.size() ? BarcodeText(records[i].barcode) : std::to_string(i);
    const int begin = 1 + a % 8;
    for (const SalesCounterTexts& row : MatchSalesRecords(
             records, begin, 16,
             [&](int plu) { return std::string_view(barcodes[size_t(plu - 1)]); }, status))
        FuzzCheck(row.pluNumber >= begin && row.pluNumber <= 16, "sales row outside the range");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const uint8_t kind = data[0];
    const int a = data[1] | data[2] << 8;
    const int b = data[3];
    data += 4;
    size -= 4;
    RegisterStatus status;
    if (const auto decoded = DecodeStatusAnswer({data, size})) {
        FuzzCheck(decoded->Decimals <= MaxDecimals, "decimals beyond the bound");
        status = *decoded;
    } else {
        status.Decimals = uint8_t(b % (MaxDecimals + 1));
        status.SalesRecordCount = uint32_t(a);
    }
    switch (kind % 5) {
    case 0:
        Plu(data, size, status, a, b);
        break;
    case 1:
        Dept(data, size, status);
        break;
    case 2:
        Recycling(data, size, status);
        break;
    case 3:
        Parameters(data, size);
        break;
    default:
        Sales(data, size, status, a);
        break;
    }
    return 0;
}
