#include "MemoryDump.h"

#include "FileHandle.h"
#include "RecordLayouts.h"
#include "TolvIBus.h"

#include <QCoreApplication>
#include <QString>

#include <charconv>
#include <cstring>

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// A failed connect is ended once with the failure status.
constexpr int FailureDisconnects = 1;

} // namespace

std::optional<int32_t> ParseHexBase(std::string_view text) {
    text = Trimmed(text);
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    uint32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return int32_t(value);
}

std::optional<int32_t> ParseCount(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string PageListing(uint32_t address, const uint8_t* page) {
    std::string listing;
    listing.reserve(16 * 76);
    char piece[16];
    for (int r = 0; r < 16; ++r) {
        std::snprintf(piece, sizeof piece, "%8.8x  ", unsigned(address + uint32_t(16 * r)));
        listing += piece;
        const uint8_t* bytes = page + 16 * r;
        for (int j = 0; j < 16; ++j) {
            std::snprintf(piece, sizeof piece, "%2.2x ", unsigned(bytes[j]));
            listing += piece;
        }
        for (int j = 0; j < 16; ++j)
            listing += bytes[j] < 32 ? '.' : char(bytes[j]);
        listing += "\r\n";
    }
    return listing;
}

DumpFiles MemoryDumpFiles(const std::string& directory) {
    std::string dir = directory;
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return {dir + "TEMP.BIN", dir + "TEMP.LOG"};
}

TFlowResult DumpRegisterMemory(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                               const MemoryRange& range, const DumpFiles& files,
                               const std::function<void(const std::string& path)>& openListing,
                               const std::function<void(const std::string& text)>& showError) {
    TConnectOptions options;
    options.failureDisconnects = FailureDisconnects;
    if (const TFlowResult opened = OpenAndConnect(bus, progress, port, options);
        opened != TFlowResult::Done)
        return opened;
    // The listing grows beside TEMP.LOG and replaces it only after a complete run, so a long
    // range does not pile up in memory and a broken run leaves the previous listing alone.
    const std::string partPath = files.logPath + ".part";
    FilePtr listing = OpenFile(partPath, "wb");
    bool listingOk = listing != nullptr;
    int listingError = listingOk ? 0 : errno;
    progress.ShowStatus(StatusProgress, "Receive Data...");
    progress.SetTotalPackages(range.count);
    FilePtr bin = OpenFile(files.binPath, "wb"); // a missing TEMP.BIN does not stop the dump
    for (int32_t i = 0; i < range.count; ++i) {
        progress.SetCurrentPackage(i + 1);
        const int64_t page = int64_t(range.base) + i;
        std::optional<Block> data;
        if (!progress.Cancelled())
            data = bus.ReadBlock(CmdConnection, MemoryPageBlock,
                                 MemoryPageRequest(int(page & 0xFFFF), range.area));
        if (!data) {
            bus.Disconnect(RegisterAddress, EndStatusFailed);
            const TFlowResult failed = FailStep(bus, progress, "Receive Data...Error!");
            bin.reset();
            listing.reset();
            std::remove(partPath.c_str());
            return failed;
        }
        if (bin)
            std::fwrite(data->data(), 1, BlockSize, bin.get());
        if (listing) {
            const std::string lines = PageListing(uint32_t(uint64_t(page) * 256), data->data());
            if (listingOk &&
                std::fwrite(lines.data(), 1, lines.size(), listing.get()) != lines.size()) {
                listingOk = false;
                listingError = errno;
            }
        }
    }
    bin.reset();
    DisconnectAndClose(bus, progress);
    if (listing && std::fclose(listing.release()) != 0 && listingOk) {
        listingOk = false;
        listingError = errno;
    }
    if (listingOk && std::rename(partPath.c_str(), files.logPath.c_str()) != 0) {
        listingOk = false;
        listingError = errno;
    }
    if (!listingOk) {
        std::remove(partPath.c_str());
        if (showError)
            showError(QCoreApplication::translate("MemoryDump", "Cannot write %1: %2")
                          .arg(QString::fromLocal8Bit(files.logPath),
                               QString::fromLocal8Bit(std::strerror(listingError)))
                          .toLocal8Bit()
                          .toStdString());
        return TFlowResult::FileFailed;
    }
    if (openListing)
        openListing(files.logPath);
    return TFlowResult::Done;
}
