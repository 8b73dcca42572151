#pragma once
// Opening the port and connecting to the register: the one routine every flow starts with.

#include "Progress.h"

#include <optional>
#include <string>

class TTolvIBusComm;

// Where the register is: a port name ("COM2", mapped to a device by [Ports]) or a device path
// used as it is, and the baud-rate index the connection goes on at. Without an index the
// component keeps the rate it has (port detection).
struct TPortSettings {
    std::string name = "COM2";
    std::optional<int> baudIndex;
};

// The port and rate SYSTEM.CFG configures: "COM" + PortNumber at BaudIndex.
TPortSettings ConfiguredPort();

// The protocol component that every command of both faces uses. The register may take its time
// over a block: longer answers and more tries than the component's defaults, which port
// detection keeps for its quick scan. The trace is on and goes to traceFile (DEBUG.LOG).
void SetUpRegisterComponent(TTolvIBusComm& bus, const std::string& traceFile);

// How a flow ended.
enum class TFlowResult {
    Done,
    PortNotOpened,  // the open failure has been told (ShowErrorBox)
    RegisterFailed, // the error text has been shown in the progress
    FileFailed,     // a file of the flow could not be read or written; it has been told
    Cancelled,      // the user stopped it; nothing more was shown
};

struct TConnectOptions {
    // Disconnect(address, failed) this many times after a failed connect: four in transfers,
    // one in the memory dump, none elsewhere.
    int failureDisconnects = 0;
    // A program load: the double wake burst first ("Wait 1 second..."), then the handshake in
    // program mode.
    bool programMode = false;
};

// Sets the port and rate, opens the port (a failure is told through the component's
// ShowErrorBox), shows the progress and connects. After a failed connect it has sent the
// failure's Disconnects, shown "Connect...Error!", waited for the user and closed both the
// progress and the port.
TFlowResult OpenAndConnect(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                           const TConnectOptions& options = {});

// Ends a flow at a failed step: the step's error text (unless the user has cancelled), the
// wait for the user, the progress and the port closed. Returns Cancelled or RegisterFailed.
TFlowResult FailStep(TTolvIBusComm& bus, TProgress& progress, const std::string& text);

// Ends a connection that went well: "Disconnect...", Disconnect with status 0, the progress and
// the port closed. Returns Done.
TFlowResult DisconnectAndClose(TTolvIBusComm& bus, TProgress& progress);

// The step word with "..." while it runs and with "...Error!" when it failed.
std::string RunningText(const std::string& word);
std::string FailedText(const std::string& word);
