#include "ReportUpload.h"

#include "TolvIBus.h"

#include <cstring>

std::string ReportPiece(const uint8_t* block) {
    const void* zero = std::memchr(block, 0, BlockSize);
    size_t length = zero ? size_t(static_cast<const uint8_t*>(zero) - block) : BlockSize;
    return std::string(reinterpret_cast<const char*>(block), length);
}

TFlowResult UploadReport(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                         std::string& report) {
    if (const TFlowResult opened = OpenAndConnect(bus, progress, port); opened != TFlowResult::Done)
        return opened;
    std::string text;
    progress.ShowStatus(StatusProgress, "Upload report...");
    progress.SetTotalPackages(ReportBlockCount);
    // The clear request carries the last block read, as every request of the register's
    // protocol carries the block moved before it.
    Block last{};
    for (int i = 0; i < ReportBlockCount; ++i) {
        progress.SetCurrentPackage(i + 1);
        std::optional<Block> block;
        if (!progress.Cancelled())
            block = bus.ReadBlock(CmdReadReport, uint16_t(i));
        if (!block)
            return FailStep(bus, progress, "Upload report...Error!");
        last = *block;
        if (last[0] == 0)
            break;
        text += ReportPiece(last.data());
    }
    progress.ShowStatus(StatusProgress, "Clear report...");
    if (!bus.WriteBlock(CmdClearReport, 0, last))
        return FailStep(bus, progress, "Clear report...Error!");
    report = std::move(text);
    return DisconnectAndClose(bus, progress);
}
