#pragma once
// The report upload: the register's report text, read block by block and then cleared in the
// register.

#include "RegisterConnection.h"

#include <cstdint>
#include <string>

class TTolvIBusComm;

inline constexpr int ReportBlockCount = 564;

// The text piece of one report block: its bytes up to the first zero byte.
std::string ReportPiece(const uint8_t* block);

// Reads the report blocks, asks the register to clear its report and disconnects. The text
// (code-page bytes) is handed over only when all of that went through.
TFlowResult UploadReport(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                         std::string& report);
