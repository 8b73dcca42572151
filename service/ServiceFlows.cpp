#include "ServiceFlows.h"

#include "Defs.h"
#include "RecordLayouts.h"
#include "Settings.h"
#include "TolvIBus.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace {

// Commands of the service blocks.
enum ServiceCommand : uint8_t {
    CmdFontBlock = 2,
    CmdClearReport = 6,
    CmdReadReport = 7,
    CmdProgramBlock = 15,
};

using FilePtr = std::unique_ptr<FILE, int (*)(FILE*)>;

FilePtr OpenFile(const std::string& path, const char* mode) {
    return FilePtr(std::fopen(path.c_str(), mode), &std::fclose);
}

// A directory opens for reading too, and only fails on the first read.
FilePtr OpenForReading(const std::string& path) {
    FilePtr file = OpenFile(path, "rb");
    struct stat info {};
    if (file && fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        return FilePtr(nullptr, &std::fclose);
    }
    return file;
}

std::string Running(int word) {
    return TransferWords[size_t(word)] + "...";
}
std::string Failed(int word) {
    return TransferWords[size_t(word)] + "...Error!";
}

// Shows the error text, waits for OK and closes the port. Nothing is shown when the user has
// already closed the window with Cancel.
void FailStep(TTolvIBusComm& bus, TProgressView& progress, const std::string& text) {
    progress.ShowStatus(StatusError, text);
    progress.WaitForClose();
    progress.Close();
    bus.SetActive(false);
}

// Ends a flow whose step was cut short without a message: an aborted wake burst (the window
// closed itself) or a dead line.
void EndSilently(TTolvIBusComm& bus, TProgressView& progress) {
    progress.Close();
    bus.SetActive(false);
}

// A Cancel whose Abort() landed just as a wait ended is cleared by the next exchange; the closed
// window still tells.
bool Cancelled(const TProgressView& progress) {
    return progress.ProgressState() == ProgressStates::Closed;
}

// Lets pending events in between blocks. A Cancel pressed now reaches Abort() outside any wait,
// where the next exchange would clear it again; the closed window is what tells the flow.
bool LetEventsIn(TProgressView& progress) {
    QCoreApplication::processEvents();
    return !Cancelled(progress);
}

bool ConnectStep(TTolvIBusComm& bus, TProgressView& progress, bool programMode) {
    progress.ShowStatus(StatusProgress, Running(WordConnect));
    return bus.Connect(RegisterAddress, programMode);
}

void DisconnectAndClose(TTolvIBusComm& bus, TProgressView& progress, uint8_t status) {
    progress.ShowStatus(StatusProgress, Running(WordDisconnect));
    bus.Disconnect(RegisterAddress, status);
    progress.Close();
    bus.SetActive(false);
}

std::string SystemReason(const std::string& path) {
    return "Cannot read " + path + ": " + std::strerror(errno);
}

} // namespace

void TProgressFormView::Show() {
    form_.show();
}

void TProgressFormView::Close() {
    form_.hide();
}

bool OpenRegisterPort(TTolvIBusComm& bus) {
    bus.SetCommName("COM" + std::to_string(PortNumber));
    bus.SetBaudRate(TBaudRate(BaudIndex));
    try {
        return bus.SetActive(true);
    } catch (const ECommsError&) {
        return false;
    }
}

// Opens the port, shows the window and connects; a failed connect has shown its error and
// closed the port.
static bool OpenAndConnect(TTolvIBusComm& bus, TProgressView& progress) {
    if (!OpenRegisterPort(bus))
        return false;
    progress.Show();
    if (!ConnectStep(bus, progress, false)) {
        FailStep(bus, progress, Failed(WordConnect));
        return false;
    }
    return true;
}

// ---- Link test -------------------------------------------------------------------------------

bool RunLinkTest(TTolvIBusComm& bus, TProgressView& progress) {
    if (!OpenAndConnect(bus, progress))
        return false;
    DisconnectAndClose(bus, progress, 0);
    return true;
}

// ---- Report upload ---------------------------------------------------------------------------

std::string ReportPiece(const uint8_t* block) {
    const void* zero = std::memchr(block, 0, 256);
    size_t length = zero ? size_t(static_cast<const uint8_t*>(zero) - block) : 256;
    return std::string(reinterpret_cast<const char*>(block), length);
}

bool UploadReport(TTolvIBusComm& bus, TProgressView& progress, std::string& report) {
    if (!OpenAndConnect(bus, progress))
        return false;
    std::string text;
    progress.ShowStatus(StatusProgress, "Upload report...");
    progress.SetTotalPackages(ReportBlockCount);
    for (int i = 0; i < ReportBlockCount; ++i) {
        progress.SetCurrentPackage(i + 1);
        // The request carries the previous answer's bytes; the register reads only the number.
        if (Cancelled(progress) || !bus.ReadBlock(CmdReadReport, uint16_t(i))) {
            FailStep(bus, progress, "Upload report...Error!");
            return false;
        }
        if (bus.DataBuf[0] == 0)
            break;
        text += ReportPiece(bus.DataBuf);
    }
    progress.ShowStatus(StatusProgress, "Clear report...");
    if (!bus.WriteBlock(CmdClearReport, 0)) {
        FailStep(bus, progress, "Clear report...Error!");
        return false;
    }
    DisconnectAndClose(bus, progress, 0);
    report = std::move(text);
    return true;
}

// ---- Memory dump -----------------------------------------------------------------------------

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

DumpFiles MemoryDumpFiles() {
    return {ProgramDir + "TEMP.BIN", ProgramDir + "TEMP.LOG"};
}

bool DumpRegisterMemory(TTolvIBusComm& bus, TProgressView& progress, const MemoryRange& range,
                        const std::function<void(const std::string& path)>& openListing,
                        const std::function<void(const std::string& text)>& showError) {
    if (!OpenRegisterPort(bus))
        return false;
    progress.Show();
    if (!ConnectStep(bus, progress, false)) {
        bus.Disconnect(RegisterAddress, 1);
        FailStep(bus, progress, Failed(WordConnect));
        return false;
    }
    const DumpFiles files = MemoryDumpFiles();
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
        EncodeMemoryPageRequest(int(page & 0xFFFF), range.area,
                                std::span<uint8_t>(bus.DataBuf, DataBufSize));
        if (Cancelled(progress) || !bus.ReadBlock(CmdReadMemory, MemoryPageBlock)) {
            bus.Disconnect(RegisterAddress, 1);
            FailStep(bus, progress, "Receive Data...Error!");
            bin.reset();
            listing.reset();
            std::remove(partPath.c_str());
            return false;
        }
        if (bin)
            std::fwrite(bus.DataBuf, 1, 256, bin.get());
        if (listing) {
            const std::string lines = PageListing(uint32_t(uint64_t(page) * 256), bus.DataBuf);
            if (listingOk &&
                std::fwrite(lines.data(), 1, lines.size(), listing.get()) != lines.size()) {
                listingOk = false;
                listingError = errno;
            }
        }
    }
    bin.reset();
    DisconnectAndClose(bus, progress, 0);
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
            showError("Cannot write " + files.logPath + ": " + std::strerror(listingError));
        return false;
    }
    if (openListing)
        openListing(files.logPath);
    return true;
}

// ---- Program and font download ---------------------------------------------------------------

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
    if (info.size % 256 != 0 || info.size > MaxProgramImageSize)
        return true;
    std::rewind(file.get());
    uint8_t piece[256];
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

bool DownloadProgram(TTolvIBusComm& bus, TProgressView& progress, const std::string& path,
                     int firstBlock, const TFileMessages& messages) {
    ProgramImageInfo info;
    std::string error;
    if (!ReadProgramImageInfo(path, info, error)) {
        messages.ShowError(error);
        return false;
    }
    if (info.size % 256 != 0 || info.size > MaxProgramImageSize) {
        messages.Beep();
        messages.ShowError(NotValidFileText);
        return false;
    }
    FilePtr file = OpenForReading(path);
    if (!file) {
        messages.ShowError(SystemReason(path));
        return false;
    }
    if (!OpenRegisterPort(bus))
        return false;
    progress.Show();
    progress.ShowStatus(StatusProgress, "Wait 1 second...");
    if (!bus.SendDoubleWakeBurst()) {
        EndSilently(bus, progress);
        return false;
    }
    if (!ConnectStep(bus, progress, true) || !bus.BeginProgramLoad(info.beginWord)) {
        FailStep(bus, progress, Failed(WordConnect));
        return false;
    }
    if (!bus.SendWakeBurst()) {
        EndSilently(bus, progress);
        return false;
    }
    const int64_t blocks = info.size / 256 - firstBlock;
    progress.SetTotalPackages(int(std::max<int64_t>(blocks, 0)));
    progress.ShowStatus(StatusProgress, "Download Program...");
    if (blocks > 0 && std::fseek(file.get(), long(firstBlock) * 256, SEEK_SET) != 0) {
        FailStep(bus, progress, "Download Program...Error!");
        return false;
    }
    for (int64_t i = 0; i < blocks; ++i) {
        progress.SetCurrentPackage(int(i + 1));
        // A file that shrank or broke while being sent must not go out with stale bytes.
        if (std::fread(bus.DataBuf, 1, 256, file.get()) != 256 ||
            !bus.WriteBlock(CmdProgramBlock, uint16_t(firstBlock + i))) {
            FailStep(bus, progress, "Download Program...Error!");
            return false;
        }
        if (!LetEventsIn(progress)) {
            EndSilently(bus, progress);
            return false;
        }
    }
    progress.ShowStatus(StatusProgress, Running(WordDisconnect));
    if (!bus.EndProgramLoad(info.checksum)) {
        FailStep(bus, progress, Failed(WordDisconnect));
        return false;
    }
    progress.Close();
    bus.SetActive(false);
    return true;
}

bool DownloadFont(TTolvIBusComm& bus, TProgressView& progress, const std::string& path,
                  const TFileMessages& messages) {
    // Opened before the port, so an unreadable file is told before any talk with the register.
    FilePtr file = OpenForReading(path);
    int64_t size = -1;
    if (file && std::fseek(file.get(), 0, SEEK_END) == 0)
        size = std::ftell(file.get());
    if (!file || size < 0) {
        messages.ShowError(SystemReason(path));
        return false;
    }
    // Font blocks too are numbered in 16 bits; more would overwrite the first ones.
    if (size > MaxFontSize) {
        messages.Beep();
        messages.ShowError(NotValidFileText);
        return false;
    }
    std::rewind(file.get());
    if (!OpenAndConnect(bus, progress))
        return false;
    const int64_t blocks = CeilDiv(size, 256);
    progress.SetTotalPackages(int(blocks));
    progress.ShowStatus(StatusProgress, "Download font...");
    for (int64_t i = 0; i < blocks; ++i) {
        progress.SetCurrentPackage(int(i + 1));
        // A short last piece replaces only the start of DataBuf; the rest goes as it was.
        const size_t want = size_t(std::min<int64_t>(256, size - i * 256));
        if (std::fread(bus.DataBuf, 1, want, file.get()) != want ||
            !bus.WriteBlock(CmdFontBlock, uint16_t(i))) {
            FailStep(bus, progress, "Download font...Error!");
            return false;
        }
        if (!LetEventsIn(progress)) {
            EndSilently(bus, progress);
            return false;
        }
    }
    file.reset();
    DisconnectAndClose(bus, progress, 0);
    return true;
}
