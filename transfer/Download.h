#pragma once
// Download data: the chosen kinds go from the document (and SYSTEM.CFG) to the register.
//
// The flows run on the thread of the protocol component from start to end; its waits keep
// events flowing, which is how a Cancel reaches Abort.

#include "TransferContext.h"

#include <array>
#include <functional>
#include <string>

// The status check that opens every download and upload: "Check ecr status". On failure it has
// ended the connection and shown its error; the caller only closes the port.
bool CheckRegisterStatus(TTransferContext& ctx);

TFlowResult RunDownload(TTransferContext& ctx);
bool DownloadPLU(TTransferContext& ctx);
bool DownloadDepartments(TTransferContext& ctx);
bool DownloadRecycling(TTransferContext& ctx);
bool DownloadParameters(TTransferContext& ctx);

// The PLU rows of a table as the block encoder reads them, one at a time through scratch.
PluRowSource TableRows(const TextTable& table, PluRowTexts& scratch);

// The connection both directions share: the port opened and connected, the status check, the
// steps of the ticked kinds in kind order (each announced as word + name + "..."),
// Disconnect; every ending closes the port.
using TransferStep = std::function<bool(TTransferContext&)>;
TFlowResult RunTransfer(TTransferContext& ctx, const std::string& word,
                        const std::array<std::string, 4>& kindNames,
                        const std::array<TransferStep, 4>& steps);

// True once the user has pressed Cancel (or OK) in the progress.
bool TransferCancelled(const TTransferContext& ctx);
