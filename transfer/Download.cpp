#include "Download.h"

#include "GridModel.h"
#include "ParameterImage.h"
#include "TolvIBus.h"

namespace {

const char* const CheckStatusText = "Check ecr status";
// Every failed connection is ended this many times with status 1, so the register gives it up
// even when some of the packets are lost.
constexpr int FailureDisconnects = 4;

TFlowResult EndConnectionWithError(TTransferContext& ctx, const std::string& text) {
    for (int i = 0; i < FailureDisconnects; ++i)
        ctx.bus.Disconnect(RegisterAddress, EndStatusFailed);
    return FailStep(ctx.bus, ctx.progress, text);
}

} // namespace

bool TransferCancelled(const TTransferContext& ctx) {
    return ctx.progress.Cancelled();
}

namespace {

TFlowResult StatusCheck(TTransferContext& ctx) {
    ctx.progress.ShowStatus(StatusProgress, RunningText(CheckStatusText));
    ctx.progress.SetTotalPackages(0);
    // A register claiming ten or more decimals has no 32-bit money factor: no amount could be
    // sent or read correctly, so the check fails rather than move wrong prices.
    if (const std::optional<Block> answer = ctx.bus.ReadBlock(CmdReadStatus, 0))
        if (const std::optional<RegisterStatus> status = DecodeStatusAnswer(*answer)) {
            ctx.status = *status;
            return TFlowResult::Done;
        }
    return EndConnectionWithError(ctx, FailedText(CheckStatusText));
}

} // namespace

bool CheckRegisterStatus(TTransferContext& ctx) {
    return StatusCheck(ctx) == TFlowResult::Done;
}

TFlowResult RunTransfer(TTransferContext& ctx, const std::string& word,
                        const std::array<std::string, 4>& kindNames,
                        const std::array<TransferStep, 4>& steps) {
    ctx.fileError = 0;
    TConnectOptions options;
    options.failureDisconnects = FailureDisconnects;
    if (const TFlowResult opened = OpenAndConnect(ctx.bus, ctx.progress, ctx.port, options);
        opened != TFlowResult::Done)
        return opened;
    if (const TFlowResult checked = StatusCheck(ctx); checked != TFlowResult::Done)
        return checked;
    for (size_t kind = 0; kind < steps.size(); ++kind) {
        if (!ctx.kinds.test(kind))
            continue;
        ctx.progress.ShowStatus(StatusProgress, RunningText(word + kindNames[kind]));
        if (!steps[kind](ctx)) {
            const TFlowResult result =
                EndConnectionWithError(ctx, FailedText(word + kindNames[kind]));
            return ctx.fileError && result != TFlowResult::Cancelled ? TFlowResult::FileFailed
                                                                     : result;
        }
    }
    return DisconnectAndClose(ctx.bus, ctx.progress);
}

TFlowResult RunDownload(TTransferContext& ctx) {
    return RunTransfer(ctx, TransferWords[WordDownload], DownloadKindNames,
                       {DownloadPLU, DownloadDepartments, DownloadRecycling, DownloadParameters});
}

PluRowSource TableRows(const TextTable& table, PluRowTexts& scratch) {
    return [&table, &scratch](int plu) -> const PluRowTexts& {
        for (int col = 1; col <= 8; ++col)
            scratch[size_t(col - 1)] = table.Cell(plu, col);
        return scratch;
    };
}

bool DownloadPLU(TTransferContext& ctx) {
    const int blocks = PluWriteBlockCount(ctx.rangeBegin, ctx.rangeEnd);
    ctx.progress.SetTotalPackages(blocks);
    const TextTable& table = ctx.plu.Table();
    PluRowTexts scratch;
    const PluRowSource rows = TableRows(table, scratch);
    Block block{};
    for (int j = 0; j < blocks; ++j) {
        ctx.progress.SetCurrentPackage(j + 1);
        EncodePluWriteBlock(ctx.rangeBegin, ctx.rangeEnd, j, rows, ctx.status, block);
        if (!ctx.bus.WriteBlock(CmdWritePlu, uint16_t(j), block))
            return false;
    }
    return true;
}

bool DownloadDepartments(TTransferContext& ctx) {
    std::array<DeptRowTexts, DeptCount> rows;
    const TextTable& table = ctx.dept.Table();
    for (int d = 1; d <= DeptCount; ++d)
        for (int col = 1; col <= 3; ++col)
            rows[size_t(d - 1)][size_t(col - 1)] = table.Cell(d, col);
    const Block block = EncodeDeptBlock(rows, ctx.status);
    ctx.progress.SetTotalPackages(1);
    ctx.progress.SetCurrentPackage(1);
    return ctx.bus.WriteBlock(CmdWriteDepartments, 0, block);
}

bool DownloadRecycling(TTransferContext& ctx) {
    std::vector<RecyEntryTexts> entries;
    entries.reserve(ctx.recy.size());
    for (const RecyEntry& entry : ctx.recy)
        entries.emplace_back(entry.number, entry.price);
    const RecyclingImage image = EncodeRecyclingImage(entries, ctx.status);
    ctx.progress.SetTotalPackages(RecyclingBlocks);
    for (int k = 0; k < RecyclingBlocks; ++k) {
        ctx.progress.SetCurrentPackage(k + 1);
        if (!ctx.bus.WriteBlock(CmdWriteRecycling, uint16_t(k), RecyclingBlock(image, k)))
            return false;
    }
    return true;
}

bool DownloadParameters(TTransferContext& ctx) {
    const ParameterImage image = ParameterImageFromFile(ctx.settingsPath);
    bool ok = true;
    for (int k = 0; k < 2; ++k) {
        // The second block goes even after the first failed, but not after Cancel: the user has
        // asked to stop and the window that would show the waiting is gone.
        if (k > 0 && TransferCancelled(ctx))
            break;
        if (!ctx.bus.WriteBlock(CmdWriteParameters, uint16_t(k), ParameterBlock(image, k)))
            ok = false;
    }
    return ok;
}
