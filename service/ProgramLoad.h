#pragma once
// Program and font load: a program image or a font file into the register's memory in
// 256-byte blocks.

#include "RegisterConnection.h"

#include <cstdint>
#include <functional>
#include <string>

class TTolvIBusComm;

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

// How the load flows tell about their file, before any talk with the register.
struct TFileMessages {
    std::function<void()> Beep;
    std::function<void(const std::string& text)> ShowError; // an error box with OK
};

// Blocks from firstBlock on (FirstProgramBlock) under the program-load markers. Done after a
// complete load; FileFailed when the file was refused or unreadable (told through messages).
TFlowResult DownloadProgram(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                            const std::string& path, int firstBlock, const TFileMessages& messages);
TFlowResult DownloadFont(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                         const std::string& path, const TFileMessages& messages);
