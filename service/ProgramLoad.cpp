#include "ProgramLoad.h"

#include "Defs.h"
#include "FileHandle.h"
#include "TolvIBus.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>

namespace {

std::string SystemReason(const std::string& path) {
    return "Cannot read " + path + ": " + std::strerror(errno);
}

// Ends a flow whose step was cut short without a message: an aborted wake burst (the window
// closed itself) or a dead line.
TFlowResult EndSilently(TTolvIBusComm& bus, TProgress& progress) {
    const bool cancelled = progress.Cancelled();
    progress.Close();
    bus.SetActive(false);
    return cancelled ? TFlowResult::Cancelled : TFlowResult::RegisterFailed;
}

// Lets pending events in between blocks. A Cancel pressed now reaches Abort() outside any wait,
// where the next exchange would clear it again; the closed progress is what tells the flow.
bool LetEventsIn(TProgress& progress) {
    QCoreApplication::processEvents();
    return !progress.Cancelled();
}

} // namespace

bool ReadProgramImageInfo(const std::string& path, ProgramImageInfo& info, std::string& error) {
    info = {};
    FilePtr file = OpenForReading(path);
    if (!file) {
        error = SystemReason(path);
        return false;
    }
    if (std::fseek(file.get(), 0, SEEK_END) != 0 || (info.size = std::ftell(file.get())) < 0) {
        error = SystemReason(path);
        return false;
    }
    // An image of the wrong size is refused before it is read.
    if (info.size % BlockSize != 0 || info.size > MaxProgramImageSize)
        return true;
    std::rewind(file.get());
    uint8_t piece[BlockSize];
    uint32_t sum = 0;
    int64_t offset = 0;
    // The begin word lies at size - 4; sizes are whole blocks, so it is in the last one.
    while (offset < info.size) {
        size_t n = std::fread(piece, 1, sizeof piece, file.get());
        if (n == 0) {
            error = SystemReason(path);
            return false;
        }
        for (size_t j = 0; j < n; ++j) {
            sum += piece[j];
            if (offset + int64_t(j) == info.size - 4 && j + 1 < n)
                info.beginWord = uint16_t(piece[j] | piece[j + 1] << 8);
        }
        offset += int64_t(n);
    }
    info.checksum = uint16_t(sum);
    return true;
}

TFlowResult DownloadProgram(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                            const std::string& path, int firstBlock,
                            const TFileMessages& messages) {
    ProgramImageInfo info;
    std::string error;
    if (!ReadProgramImageInfo(path, info, error)) {
        messages.ShowError(error);
        return TFlowResult::FileFailed;
    }
    if (info.size % BlockSize != 0 || info.size > MaxProgramImageSize) {
        messages.Beep();
        messages.ShowError(NotValidFileText);
        return TFlowResult::FileFailed;
    }
    FilePtr file = OpenForReading(path);
    if (!file) {
        messages.ShowError(SystemReason(path));
        return TFlowResult::FileFailed;
    }
    TConnectOptions options;
    options.programMode = true;
    if (const TFlowResult opened = OpenAndConnect(bus, progress, port, options);
        opened != TFlowResult::Done)
        return opened;
    if (!bus.BeginProgramLoad(info.beginWord))
        return FailStep(bus, progress, FailedText(TransferWords[WordConnect]));
    if (!bus.SendWakeBurst())
        return EndSilently(bus, progress);
    const int64_t blocks = info.size / BlockSize - firstBlock;
    progress.SetTotalPackages(int(std::max<int64_t>(blocks, 0)));
    progress.ShowStatus(StatusProgress, "Download Program...");
    if (blocks > 0 && std::fseek(file.get(), long(firstBlock) * BlockSize, SEEK_SET) != 0)
        return FailStep(bus, progress, "Download Program...Error!");
    Block block{};
    for (int64_t i = 0; i < blocks; ++i) {
        progress.SetCurrentPackage(int(i + 1));
        // A file that shrank or broke while being sent must not go out with stale bytes.
        if (std::fread(block.data(), 1, BlockSize, file.get()) != BlockSize ||
            !bus.WriteBlock(CmdProgramLoad, uint16_t(firstBlock + i), block))
            return FailStep(bus, progress, "Download Program...Error!");
        if (!LetEventsIn(progress))
            return EndSilently(bus, progress);
    }
    progress.ShowStatus(StatusProgress, RunningText(TransferWords[WordDisconnect]));
    if (!bus.EndProgramLoad(info.checksum))
        return FailStep(bus, progress, FailedText(TransferWords[WordDisconnect]));
    progress.Close();
    bus.SetActive(false);
    return TFlowResult::Done;
}

TFlowResult DownloadFont(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                         const std::string& path, const TFileMessages& messages) {
    // Opened before the port, so an unreadable file is told before any talk with the register.
    FilePtr file = OpenForReading(path);
    int64_t size = -1;
    if (file && std::fseek(file.get(), 0, SEEK_END) == 0)
        size = std::ftell(file.get());
    if (!file || size < 0) {
        messages.ShowError(SystemReason(path));
        return TFlowResult::FileFailed;
    }
    // Font blocks too are numbered in 16 bits; more would overwrite the first ones.
    if (size > MaxFontSize) {
        messages.Beep();
        messages.ShowError(NotValidFileText);
        return TFlowResult::FileFailed;
    }
    std::rewind(file.get());
    if (const TFlowResult opened = OpenAndConnect(bus, progress, port); opened != TFlowResult::Done)
        return opened;
    const int64_t blocks = CeilDiv(size, BlockSize);
    progress.SetTotalPackages(int(blocks));
    progress.ShowStatus(StatusProgress, "Download font...");
    // A short last piece replaces only the start of the block; the rest goes as the block
    // before it (or, for a single block, as the identification answer) left it.
    Block block = bus.DataBlock();
    for (int64_t i = 0; i < blocks; ++i) {
        progress.SetCurrentPackage(int(i + 1));
        const size_t want = size_t(std::min<int64_t>(BlockSize, size - i * BlockSize));
        if (std::fread(block.data(), 1, want, file.get()) != want ||
            !bus.WriteBlock(CmdWriteFont, uint16_t(i), block))
            return FailStep(bus, progress, "Download font...Error!");
        if (!LetEventsIn(progress))
            return EndSilently(bus, progress);
    }
    file.reset();
    return DisconnectAndClose(bus, progress);
}
