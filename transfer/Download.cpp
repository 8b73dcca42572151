#include "Download.h"

#include "GridModel.h"
#include "ParameterImage.h"
#include "Progress.h"
#include "RecordLayouts.h"
#include "Settings.h"
#include "TolvIBus.h"

#include <cstring>

namespace {

const char* const CheckStatusText = "Check ecr status";
const char* const RunningSuffix = "...";
const char* const ErrorSuffix = "...Error!";
// Every failed connection is ended this many times with status 1, so the register gives it up
// even when some of the packets are lost.
constexpr int FailureDisconnects = 4;

void PutDataBuf(TTolvIBusComm& bus, std::span<const uint8_t> bytes) {
    std::memcpy(bus.DataBuf, bytes.data(), std::min<size_t>(bytes.size(), BlockSize));
}

void EndConnectionWithError(TTransferContext& ctx, const std::string& text) {
    for (int i = 0; i < FailureDisconnects; ++i)
        ctx.bus.Disconnect(RegisterAddress, 1);
    ctx.progress.ShowStatus(StatusError, text);
    ctx.progress.WaitForClose();
}

void ClosePort(TTransferContext& ctx) {
    // The window is gone already after OK or Cancel; hiding again only makes sure the main
    // window is usable whatever happened.
    ctx.progress.hide();
    ctx.bus.SetActive(false);
}

} // namespace

bool TransferCancelled(const TTransferContext& ctx) {
    return ctx.progress.ProgressState() == ProgressStates::Closed;
}

bool CheckRegisterStatus(TTransferContext& ctx) {
    ctx.progress.ShowStatus(StatusProgress, std::string(CheckStatusText) + RunningSuffix);
    ctx.progress.SetTotalPackages(0);
    if (ctx.bus.ReadBlock(CmdReadStatus, 0)) {
        // A register claiming ten or more decimals has no 32-bit money factor: no amount could
        // be sent or read correctly, so the check fails rather than move wrong prices.
        if (auto status =
                DecodeStatusAnswer(std::span<const uint8_t>(ctx.bus.DataBuf, BlockSize))) {
            CurrentRegisterStatus = *status;
            return true;
        }
    }
    EndConnectionWithError(ctx, std::string(CheckStatusText) + ErrorSuffix);
    return false;
}

void RunTransfer(TTransferContext& ctx, const std::string& word,
                 const std::array<std::string, 4>& kindNames,
                 const std::array<TransferStep, 4>& steps) {
    TTolvIBusComm& bus = ctx.bus;
    bus.SetCommName("COM" + std::to_string(PortNumber));
    bus.SetBaudRate(TBaudRate(BaudIndex));
    try {
        if (!bus.SetActive(true))
            return;
    } catch (const ECommsError&) {
        return; // the error box has been shown
    }

    ctx.progress.show();
    ctx.progress.ShowStatus(StatusProgress, TransferWords[WordConnect] + RunningSuffix);
    if (!bus.Connect(RegisterAddress, false)) {
        EndConnectionWithError(ctx, TransferWords[WordConnect] + ErrorSuffix);
        ClosePort(ctx);
        return;
    }
    if (!CheckRegisterStatus(ctx)) {
        ClosePort(ctx);
        return;
    }
    for (size_t kind = 0; kind < steps.size(); ++kind) {
        if (!ctx.kinds.test(kind))
            continue;
        ctx.progress.ShowStatus(StatusProgress, word + kindNames[kind] + RunningSuffix);
        if (!steps[kind](ctx)) {
            EndConnectionWithError(ctx, word + kindNames[kind] + ErrorSuffix);
            ClosePort(ctx);
            return;
        }
    }
    ctx.progress.ShowStatus(StatusProgress, TransferWords[WordDisconnect] + RunningSuffix);
    bus.Disconnect(RegisterAddress, 0);
    ClosePort(ctx);
}

void RunDownload(TTransferContext& ctx) {
    RunTransfer(ctx, TransferWords[WordDownload], DownloadKindNames,
                {DownloadPLU, DownloadDepartments, DownloadRecycling, DownloadParameters});
}

bool DownloadPLU(TTransferContext& ctx) {
    const int blocks = PluWriteBlockCount(ctx.rangeBegin, ctx.rangeEnd);
    ctx.progress.SetTotalPackages(blocks);
    const TextTable& table = ctx.plu.Table();
    PluRowTexts scratch;
    const PluRowSource rows = [&](int plu) -> const PluRowTexts& {
        for (int col = 1; col <= 8; ++col)
            scratch[size_t(col - 1)] = table.Cell(plu, col);
        return scratch;
    };
    Block block{};
    for (int j = 0; j < blocks; ++j) {
        ctx.progress.SetCurrentPackage(j + 1);
        EncodePluWriteBlock(ctx.rangeBegin, ctx.rangeEnd, j, rows, CurrentRegisterStatus, block);
        PutDataBuf(ctx.bus, block);
        if (!ctx.bus.WriteBlock(CmdWritePlu, uint16_t(j)))
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
    const Block block = EncodeDeptBlock(rows, CurrentRegisterStatus);
    ctx.progress.SetTotalPackages(1);
    ctx.progress.SetCurrentPackage(1);
    PutDataBuf(ctx.bus, block);
    return ctx.bus.WriteBlock(CmdWriteDepartments, 0);
}

bool DownloadRecycling(TTransferContext& ctx) {
    std::vector<RecyEntryTexts> entries;
    entries.reserve(ctx.recy.size());
    for (const RecyEntry& entry : ctx.recy)
        entries.emplace_back(entry.number, entry.price);
    const RecyclingImage image = EncodeRecyclingImage(entries, CurrentRegisterStatus);
    ctx.progress.SetTotalPackages(RecyclingBlocks);
    for (int k = 0; k < RecyclingBlocks; ++k) {
        ctx.progress.SetCurrentPackage(k + 1);
        PutDataBuf(ctx.bus, RecyclingBlock(image, k));
        if (!ctx.bus.WriteBlock(CmdWriteRecycling, uint16_t(k)))
            return false;
    }
    return true;
}

bool DownloadParameters(TTransferContext& ctx) {
    const ParameterImage image = ParameterImageFromFile(SystemCfgPath());
    bool ok = true;
    for (int k = 0; k < 2; ++k) {
        // The second block goes even after the first failed, but not after Cancel: the user has
        // asked to stop and the window that would show the waiting is gone.
        if (k > 0 && TransferCancelled(ctx))
            break;
        PutDataBuf(ctx.bus, ParameterBlock(image, k));
        if (!ctx.bus.WriteBlock(CmdWriteParameters, uint16_t(k)))
            ok = false;
    }
    return ok;
}
