#include "RegisterConnection.h"

#include "Defs.h"
#include "Settings.h"
#include "TolvIBus.h"

TPortSettings ConfiguredPort() {
    return {"COM" + std::to_string(PortNumber), BaudIndex};
}

void SetUpRegisterComponent(TTolvIBusComm& bus, const std::string& traceFile) {
    bus.RetryInterval = 2000;
    bus.SetRetryCount(10);
    bus.BroadCast = false;
    bus.TraceOn = true;
    bus.TraceFile = traceFile;
}

std::string RunningText(const std::string& word) {
    return word + "...";
}

std::string FailedText(const std::string& word) {
    return word + "...Error!";
}

TFlowResult FailStep(TTolvIBusComm& bus, TProgress& progress, const std::string& text) {
    // A Cancel has closed the progress already: the error text is not shown and the wait
    // returns at once.
    const bool cancelled = progress.Cancelled();
    progress.ShowStatus(StatusError, text);
    progress.WaitForClose();
    progress.Close();
    bus.SetActive(false);
    return cancelled ? TFlowResult::Cancelled : TFlowResult::RegisterFailed;
}

TFlowResult DisconnectAndClose(TTolvIBusComm& bus, TProgress& progress) {
    progress.ShowStatus(StatusProgress, RunningText(TransferWords[WordDisconnect]));
    bus.Disconnect(RegisterAddress, EndStatusDone);
    progress.Close();
    bus.SetActive(false);
    return TFlowResult::Done;
}

TFlowResult OpenAndConnect(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                           const TConnectOptions& options) {
    bus.SetCommName(port.name);
    if (port.baudIndex)
        bus.SetBaudRate(TBaudRate(*port.baudIndex));
    try {
        if (!bus.SetActive(true))
            return TFlowResult::PortNotOpened;
    } catch (const ECommsError&) {
        return TFlowResult::PortNotOpened;
    }
    progress.Show();
    if (options.programMode) {
        progress.ShowStatus(StatusProgress, "Wait 1 second...");
        // An aborted burst ends without a message: the window closed itself.
        if (!bus.SendDoubleWakeBurst()) {
            const bool cancelled = progress.Cancelled();
            progress.Close();
            bus.SetActive(false);
            return cancelled ? TFlowResult::Cancelled : TFlowResult::RegisterFailed;
        }
    }
    progress.ShowStatus(StatusProgress, RunningText(TransferWords[WordConnect]));
    if (bus.Connect(RegisterAddress, options.programMode))
        return TFlowResult::Done;
    for (int i = 0; i < options.failureDisconnects; ++i)
        bus.Disconnect(RegisterAddress, EndStatusFailed);
    return FailStep(bus, progress, FailedText(TransferWords[WordConnect]));
}
