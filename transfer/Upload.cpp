#include "Upload.h"

#include "GridModel.h"
#include "ParameterImage.h"
#include "TolvIBus.h"

#include <cerrno>
#include <cstring>

namespace {

std::optional<Block> ReadAndTell(TTransferContext& ctx, uint8_t command, uint16_t blockNo) {
    std::optional<Block> block = ctx.bus.ReadBlock(command, blockNo);
    if (block && ctx.blockRead)
        ctx.blockRead(command, blockNo, *block);
    return block;
}

void PutPluRow(TGridModel& plu, int row, const PluRowTexts& texts) {
    for (int col = 1; col <= 8; ++col) {
        const std::string& text = texts[size_t(col - 1)];
        if (plu.Cell(row, col) != text)
            plu.SetCell(row, col, text);
    }
}

} // namespace

// Phase 1: the items of the range, four to a block.
bool UploadPLUItems(TTransferContext& ctx) {
    const BlockSpan span = PluReadBlocks(ctx.rangeBegin, ctx.rangeEnd);
    ctx.progress.SetTotalPackages(span.Count());
    PluRowTexts row;
    for (int b = span.first; b <= span.last; ++b) {
        ctx.progress.SetCurrentPackage(b - span.first + 1);
        const std::optional<Block> block = ReadAndTell(ctx, CmdReadPlu, uint16_t(b));
        if (!block)
            return false;
        for (const DecodedPlu& item :
             DecodePluReadBlock(*block, b, ctx.rangeBegin, ctx.rangeEnd, ctx.status)) {
            for (int col = 1; col <= 8; ++col)
                row[size_t(col - 1)] = ctx.plu.Cell(item.pluNumber, col);
            ApplyDecodedPlu(item, row);
            PutPluRow(ctx.plu, item.pluNumber, row);
        }
    }
    return true;
}

namespace {

// Phase 2: the sales counters, matched to the rows by barcode text.
bool UploadSalesCounters(TTransferContext& ctx) {
    const uint32_t count = ctx.status.SalesRecordCount;
    const int blocks = int(SalesBlockCount(count));
    ctx.progress.SetTotalPackages(blocks);
    std::vector<uint8_t> stream;
    stream.reserve(size_t(blocks) * BlockSize);
    for (int k = 0; k < blocks; ++k) {
        ctx.progress.SetCurrentPackage(k + 1);
        const std::optional<Block> block = ReadAndTell(ctx, CmdReadSales, uint16_t(k));
        if (!block)
            return false;
        stream.insert(stream.end(), block->begin(), block->end());
    }
    const std::vector<PluSalesRecord> records = DecodeSalesStream(stream, count);
    const TextTable& table = ctx.plu.Table();
    const auto matched = MatchSalesRecords(
        records, ctx.rangeBegin, ctx.rangeEnd,
        [&](int plu) -> std::string_view { return table.Cell(plu, 1); }, ctx.status);
    for (const SalesCounterTexts& counters : matched) {
        ctx.plu.SetCell(counters.pluNumber, 7, counters.quantity);
        ctx.plu.SetCell(counters.pluNumber, 8, counters.total);
    }
    return true;
}

} // namespace

TFlowResult RunUpload(TTransferContext& ctx) {
    return RunTransfer(ctx, TransferWords[WordUpload], UploadKindNames,
                       {UploadPLU, UploadDepartments, UploadRecycling, UploadParameters});
}

bool UploadPLU(TTransferContext& ctx) {
    return UploadPLUItems(ctx) && UploadSalesCounters(ctx);
}

bool UploadDepartments(TTransferContext& ctx) {
    const std::optional<Block> block = ReadAndTell(ctx, CmdReadDepartments, 0);
    if (!block)
        return false;
    const auto rows = DecodeDeptBlock(*block, ctx.status);
    for (int d = 1; d <= DeptCount; ++d)
        for (int col = 1; col <= 3; ++col)
            ctx.dept.SetCell(d, col, rows[size_t(d - 1)][size_t(col - 1)]);
    return true;
}

bool UploadRecycling(TTransferContext& ctx) {
    RecyclingImage image{};
    ctx.progress.SetTotalPackages(RecyclingBlocks);
    for (int k = 0; k < RecyclingBlocks; ++k) {
        ctx.progress.SetCurrentPackage(k + 1);
        const std::optional<Block> block = ReadAndTell(ctx, CmdReadRecycling, uint16_t(k));
        if (!block)
            return false;
        std::memcpy(RecyclingBlock(image, k).data(), block->data(), BlockSize);
    }
    const auto entries = DecodeRecyclingImage(image, ctx.status);
    for (size_t j = 0; j < entries.size() && j < ctx.recy.size(); ++j) {
        ctx.recy[j].number = entries[j].first;
        ctx.recy[j].price = entries[j].second;
    }
    return true;
}

bool UploadParameters(TTransferContext& ctx) {
    ParameterImage image{};
    for (int k = 0; k < 2; ++k) {
        const std::optional<Block> block = ReadAndTell(ctx, CmdReadParameters, uint16_t(k));
        if (!block)
            return false;
        std::memcpy(ParameterBlock(image, k).data(), block->data(), BlockSize);
    }
    // SYSTEM.CFG is replaced in one piece; a file that cannot be written fails the step instead
    // of leaving the user to believe the parameters were kept.
    if (StoreParameterImage(ctx.settingsPath, image))
        return true;
    ctx.fileError = errno ? errno : EIO;
    return false;
}
