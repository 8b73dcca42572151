#include "ReportUpload.h"

#include "RecordLayouts.h"
#include "TolvIBus.h"

#include <cstring>
#include <span>

std::string ReportPiece(const uint8_t* block) {
    const void* zero = std::memchr(block, 0, BlockSize);
    size_t length = zero ? size_t(static_cast<const uint8_t*>(zero) - block) : BlockSize;
    return std::string(reinterpret_cast<const char*>(block), length);
}

std::string ReportText(const std::string& blocks) {
    std::string text;
    for (size_t at = 0; at + BlockSize <= blocks.size(); at += BlockSize)
        text += ReportPiece(reinterpret_cast<const uint8_t*>(blocks.data() + at));
    return text;
}

TFlowResult UploadReport(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                         const TReportKeeper& keeper, TReportUpload& upload) {
    if (const TFlowResult opened = OpenAndConnect(bus, progress, port); opened != TFlowResult::Done)
        return opened;
    TReportRead read;
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
        read.text += ReportPiece(last.data());
        read.blocks.append(reinterpret_cast<const char*>(last.data()), BlockSize);
    }
    // Nothing leaves the register before it is kept: a refusal leaves it there.
    std::string notKept;
    if (keeper && !read.text.empty()) {
        read.identification = GetTextField(std::span<const uint8_t>(bus.IdentRecord).subspan(16));
        read.port = port.name;
        notKept = keeper(read);
    }
    if (notKept.empty()) {
        progress.ShowStatus(StatusProgress, "Clear report...");
        if (!bus.WriteBlock(CmdClearReport, 0, last))
            return FailStep(bus, progress, "Clear report...Error!");
    }
    upload.text = std::move(read.text);
    upload.notKept = std::move(notKept);
    upload.cleared = upload.notKept.empty();
    return DisconnectAndClose(bus, progress);
}

TFlowResult UploadReport(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                         std::string& report) {
    TReportUpload upload;
    const TFlowResult result = UploadReport(bus, progress, port, {}, upload);
    if (result == TFlowResult::Done)
        report = std::move(upload.text);
    return result;
}
