#pragma once
// Download data: the chosen kinds go from the document (and SYSTEM.CFG) to the register.
//
// The flows run on the user-interface thread from start to end; the protocol component's waits
// keep events flowing, which is how the progress window's Cancel reaches Abort. They know
// nothing of the main window: everything they touch is in the context.

#include "Document.h"
#include "TransferDlgs.h"

#include <array>
#include <string>

class TGridModel;
class TProgressForm;
class TTolvIBusComm;

struct TTransferContext {
    TTolvIBusComm& bus;
    TProgressForm& progress;
    TGridModel& plu;  // PLUGrid, rows 1 to 30000, columns 1 to 8
    TGridModel& dept; // DeptmentGrid, rows 1 to 8, columns 1 to 3
    RecyTable& recy;
    KindSet kinds;
    int rangeBegin = 1;
    int rangeEnd = 3000;
};

// The status check that opens every download and upload: "Check ecr status". On failure it has
// ended the connection and shown its error; the caller only closes the port.
bool CheckRegisterStatus(TTransferContext& ctx);

void RunDownload(TTransferContext& ctx);
bool DownloadPLU(TTransferContext& ctx);
bool DownloadDepartments(TTransferContext& ctx);
bool DownloadRecycling(TTransferContext& ctx);
bool DownloadParameters(TTransferContext& ctx);

// The connection both directions share: port from the settings, progress window, Connect, the
// status check, the steps of the ticked kinds in kind order (each announced as
// word + name + "..."), Disconnect; every ending closes the port.
using TransferStep = bool (*)(TTransferContext&);
void RunTransfer(TTransferContext& ctx, const std::string& word,
                 const std::array<std::string, 4>& kindNames,
                 const std::array<TransferStep, 4>& steps);

// True once the user has pressed Cancel (or OK) in the progress window.
bool TransferCancelled(const TTransferContext& ctx);
