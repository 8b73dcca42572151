#pragma once
// The report upload: the register's report text, read block by block and then cleared in the
// register.

#include "RegisterConnection.h"

#include <cstdint>
#include <functional>
#include <string>

class TTolvIBusComm;

inline constexpr int ReportBlockCount = 564;

// The text piece of one report block: its bytes up to the first zero byte.
std::string ReportPiece(const uint8_t* block);
// The text of blocks read one after the other (a multiple of 256 bytes).
std::string ReportText(const std::string& blocks);

// A report as it was read, before the register is asked to clear it.
struct TReportRead {
    std::string blocks;         // every block that held text, 256 bytes each, as they came
    std::string text;           // the report (code-page bytes)
    std::string identification; // the register's identification (code-page bytes)
    std::string port;           // the port it was read on
};

// Keeps a report somewhere safe before the register clears it: empty when it is kept, else why
// not; the register then keeps its report.
using TReportKeeper = std::function<std::string(const TReportRead&)>;

struct TReportUpload {
    std::string text;    // the report, handed over when the connection ended well
    std::string notKept; // why the keeper refused; the register was not asked to clear
    bool cleared = false;
};

// Reads the report blocks, hands a report that holds text to the keeper (when there is one),
// asks the register to clear its report unless the keeper refused, and disconnects. The text
// (code-page bytes) is handed over only when all of that went through.
TFlowResult UploadReport(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                         const TReportKeeper& keeper, TReportUpload& upload);
// Without a keeper: read and clear.
TFlowResult UploadReport(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                         std::string& report);
