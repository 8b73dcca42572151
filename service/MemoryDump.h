#pragma once
// The memory dump: a range of the register's memory pages into TEMP.BIN (raw) and TEMP.LOG
// (a hexadecimal listing).

#include "RegisterConnection.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class TTolvIBusComm;

struct MemoryRange {
    int32_t base = 0;  // first page
    int32_t count = 0; // pages
    int area = 0;      // 0 ROM, 1 RAM
};

// The base text as a hexadecimal number of at most 8 digits, kept as a signed 32-bit value
// ("FFFFFFFF" is -1); nullopt when it is not one.
std::optional<int32_t> ParseHexBase(std::string_view text);
// The count text as a decimal signed 32-bit number; nullopt when it is not one.
std::optional<int32_t> ParseCount(std::string_view text);

// The 16 listing lines of one page, each 74 characters and CR LF. address is the listing
// address of the page's first byte (cut to 32 bits).
std::string PageListing(uint32_t address, const uint8_t* page);

struct DumpFiles {
    std::string binPath; // TEMP.BIN
    std::string logPath; // TEMP.LOG
};
// TEMP.BIN and TEMP.LOG in the given directory (the state directory: beside the program unless
// it is installed).
DumpFiles MemoryDumpFiles(const std::string& directory);

// Reads the pages into the BIN file and, after a complete run, writes the listing and hands its
// path to openListing; a listing that could not be written goes to showError instead
// (FileFailed). Done after a complete run with its listing.
TFlowResult DumpRegisterMemory(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                               const MemoryRange& range, const DumpFiles& files,
                               const std::function<void(const std::string& path)>& openListing,
                               const std::function<void(const std::string& text)>& showError = {});
