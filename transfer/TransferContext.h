#pragma once
// What a download or an upload works on: the protocol component, the progress, the document's
// tables, the kinds and PLU range chosen, where the register is and where the parameters live.
// The flows know nothing of the main window or the command line: everything they touch is here.

#include "Document.h"
#include "RecordLayouts.h"
#include "RegisterConnection.h"

#include <bitset>
#include <functional>
#include <string>

class TGridModel;
class TProgress;
class TTolvIBusComm;

// Bit i is data kind i: 0 PLU, 1 department, 2 recycling, 3 parameter.
using KindSet = std::bitset<4>;
inline constexpr KindSet AllKinds{0b1111};

inline constexpr int MinPluRange = 1;
inline constexpr int MaxPluRange = 10000;

struct TTransferContext {
    TTolvIBusComm& bus;
    TProgress& progress;
    TGridModel& plu;  // PLUGrid, rows 1 to 30000, columns 1 to 8
    TGridModel& dept; // DeptmentGrid, rows 1 to 8, columns 1 to 3
    RecyTable& recy;
    KindSet kinds;
    int rangeBegin = 1;
    int rangeEnd = 3000;
    TPortSettings port{};
    // SYSTEM.CFG: the parameters go from it to the register and come from the register into it.
    std::string settingsPath{};
    // Filled by the status check that opens every transfer.
    RegisterStatus status{};
    // errno of a settings file the upload could not write; 0 otherwise.
    int fileError = 0;
    // Every block the upload steps read, as the register sent it, before it is decoded: what a
    // comparison needs beyond the texts (the third decimal of a price, an empty slot).
    std::function<void(uint8_t command, uint16_t blockNo, const Block& data)> blockRead{};
};
