#pragma once
// The service exchanges with the register: link test, report upload, memory dump, program and
// font download. Each is one synchronous sequence on the user-interface thread over the main
// window's protocol component; the windows they need come in through small seams so the
// sequences run in tests without dialogs.

#include "Progress.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TTolvIBusComm;

// What a flow needs of the progress window.
class TProgressView {
public:
    virtual ~TProgressView() = default;
    virtual void Show() = 0;
    virtual void Close() = 0;
    virtual void ShowStatus(StatusKind kind, const std::string& text) = 0;
    virtual void SetTotalPackages(int n) = 0;
    virtual void SetCurrentPackage(int n) = 0;
    virtual ProgressStates ProgressState() const = 0;
    virtual void WaitForClose() = 0;
};

class TProgressFormView : public TProgressView {
public:
    explicit TProgressFormView(TProgressForm& form) : form_(form) {}
    void Show() override;
    void Close() override;
    void ShowStatus(StatusKind kind, const std::string& text) override {
        form_.ShowStatus(kind, text);
    }
    void SetTotalPackages(int n) override { form_.SetTotalPackages(n); }
    void SetCurrentPackage(int n) override { form_.SetCurrentPackage(n); }
    ProgressStates ProgressState() const override { return form_.ProgressState(); }
    void WaitForClose() override { form_.WaitForClose(); }

private:
    TProgressForm& form_;
};

// Sets CommName and BaudRate from the settings and opens the port. False when it could not be
// opened; the component has shown its error box.
bool OpenRegisterPort(TTolvIBusComm& bus);

// ---- Link test -------------------------------------------------------------------------------

// Connect and disconnect on the configured port. True when the register answered.
bool RunLinkTest(TTolvIBusComm& bus, TProgressView& progress);

// ---- Report upload ---------------------------------------------------------------------------

inline constexpr int ReportBlockCount = 564;

// The text piece of one report block: its bytes up to the first zero byte.
std::string ReportPiece(const uint8_t* block);

// Reads the report blocks, asks the register to clear its report and disconnects. The text is
// handed over only when all of that went through.
bool UploadReport(TTolvIBusComm& bus, TProgressView& progress, std::string& report);

// ---- Memory dump -----------------------------------------------------------------------------

struct MemoryRange {
    int32_t base = 0;  // first page
    int32_t count = 0; // pages
    int area = 0;      // 0 ROM, 1 RAM
};

// The 16 listing lines of one page, each 74 characters and CR LF. address is the listing
// address of the page's first byte (cut to 32 bits).
std::string PageListing(uint32_t address, const uint8_t* page);

struct DumpFiles {
    std::string binPath; // TEMP.BIN
    std::string logPath; // TEMP.LOG
};
DumpFiles MemoryDumpFiles(); // both in ProgramDir

// Reads the pages into TEMP.BIN and, after a complete run, writes TEMP.LOG and hands its path
// to openListing; a listing that could not be written goes to showError instead. True after a
// complete run with its listing.
bool DumpRegisterMemory(TTolvIBusComm& bus, TProgressView& progress, const MemoryRange& range,
                        const std::function<void(const std::string& path)>& openListing,
                        const std::function<void(const std::string& text)>& showError = {});

// ---- Program and font download ---------------------------------------------------------------

inline constexpr char NotValidFileText[] = "Not a valid file!";

// The image blocks go under 16-bit block numbers; a bigger image would wrap onto the numbers
// of the load markers and of blocks already sent.
inline constexpr int64_t MaxProgramImageSize = int64_t(65536) * 256;
inline constexpr int64_t MaxFontSize = int64_t(65536) * 256;

struct ProgramImageInfo {
    int64_t size = 0;
    uint16_t beginWord = 0;
    uint16_t checksum = 0;
};

// Takes the size of an image file and, when it is a valid one, reads the begin word and the
// checksum in 256-byte pieces. Fails with a reason text when the file cannot be read.
bool ReadProgramImageInfo(const std::string& path, ProgramImageInfo& info, std::string& error);

// The windows the download flows ask about their file.
struct TFileMessages {
    std::function<void()> Beep;
    std::function<void(const std::string& text)> ShowError; // an error box with OK
};

// True after a complete load.
bool DownloadProgram(TTolvIBusComm& bus, TProgressView& progress, const std::string& path,
                     int firstBlock, const TFileMessages& messages);
bool DownloadFont(TTolvIBusComm& bus, TProgressView& progress, const std::string& path,
                  const TFileMessages& messages);
