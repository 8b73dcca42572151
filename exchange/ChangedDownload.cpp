#include "ChangedDownload.h"

#include "Download.h"
#include "GridModel.h"
#include "RecordingProgress.h"
#include "TolvIBus.h"

std::vector<TPluBlock> ChangedPluBlocks(std::span<const int> plus) {
    std::vector<TPluBlock> blocks;
    for (int plu : plus) {
        if (!blocks.empty() && plu == blocks.back().last + 1 &&
            blocks.back().last - blocks.back().first + 1 < PlusPerWriteBlock)
            blocks.back().last = plu;
        else
            blocks.push_back({plu, plu});
    }
    return blocks;
}

namespace {

bool SendPluBlocks(TTransferContext& ctx, const std::vector<TPluBlock>& blocks) {
    ctx.progress.SetTotalPackages(int(blocks.size()));
    const TextTable& table = ctx.plu.Table();
    PluRowTexts scratch;
    const PluRowSource rows = TableRows(table, scratch);
    Block block{};
    for (size_t j = 0; j < blocks.size(); ++j) {
        ctx.progress.SetCurrentPackage(int(j) + 1);
        // Block 0 of a "range" that is the block itself: the same records the full download
        // puts wherever these numbers fall in its blocks.
        EncodePluWriteBlock(blocks[j].first, blocks[j].last, 0, rows, ctx.status, block);
        if (!ctx.bus.WriteBlock(CmdWritePlu, uint16_t(j), block))
            return false;
    }
    return true;
}

} // namespace

TFlowOutcome SendChanges(TTransferContext& ctx, const TComparison& comparison, KindSet chosen) {
    KindSet kinds;
    for (int kind = KindPLU; kind <= KindParameter; ++kind)
        kinds.set(size_t(kind), chosen.test(size_t(kind)) && comparison.KindDiffers(kind));
    if (kinds.none())
        return {};
    const std::vector<TPluBlock> blocks =
        kinds.test(KindPLU) ? ChangedPluBlocks(comparison.changedPlus) : std::vector<TPluBlock>{};
    TRecordingProgress progress(ctx.progress);
    TTransferContext sending{ctx.bus, progress,       ctx.plu,      ctx.dept, ctx.recy,
                             kinds,   ctx.rangeBegin, ctx.rangeEnd, ctx.port, ctx.settingsPath};
    const TFlowResult result =
        RunTransfer(sending, TransferWords[WordDownload], DownloadKindNames,
                    {[&blocks](TTransferContext& c) { return SendPluBlocks(c, blocks); },
                     DownloadDepartments, DownloadRecycling, DownloadParameters});
    ctx.status = sending.status;
    return {result, result == TFlowResult::Done ? std::string() : progress.ErrorText()};
}
