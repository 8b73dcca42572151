#pragma once
// The register's content as it sent it, read over one connection by the upload's own steps: the
// raw records of the kinds read, the identification and the status. Reading goes into scratch
// tables and a scratch parameter file, so the user's document and SYSTEM.CFG stay untouched.

#include "FlowOutcome.h"
#include "ParameterImage.h"
#include "RecordLayouts.h"
#include "TransferContext.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class TProgress;
class TTolvIBusComm;

struct TRegisterCopy {
    KindSet kinds;
    int rangeBegin = MinPluRange;
    int rangeEnd = MinPluRange - 1;
    RegisterStatus status;
    std::string identification; // code-page bytes
    // PLU numbers rangeBegin to rangeEnd; an empty slot starts with 0xFF.
    std::vector<std::array<uint8_t, PluRecordSize>> plu;
    Block dept{};
    RecyclingImage recy{};
    ParameterImage parameters{};
    // The command-8 blocks joined, when the sales counters were read.
    std::vector<uint8_t> sales;

    std::span<const uint8_t, PluRecordSize> Plu(int number) const {
        return plu[size_t(number - rangeBegin)];
    }
    // Slots of the range that hold an item.
    int PluItems() const;
    // Items of the range with a name.
    int NamedPluItems() const;
};

// The text of the identification page the connection read: bytes 16 on, up to a 0.
std::string IdentificationText(std::span<const uint8_t, 64> record);

// Runs the upload of ctx's kinds and range into ctx's tables and ctx.settingsPath, and keeps the
// blocks as they came in `copy`. withSales: the PLU step reads the sales counters as well.
TFlowOutcome ReadRegister(TTransferContext& ctx, bool withSales, TRegisterCopy& copy);

// The same into scratch tables and a scratch parameter file that are dropped afterwards; the
// sales counters are not read.
TFlowOutcome ReadRegisterCopy(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                              KindSet kinds, int rangeBegin, int rangeEnd, TRegisterCopy& copy);
