#include "PortDetection.h"

#include "RegisterConnection.h"
#include "Settings.h"
#include "TolvIBus.h"

int DetectPorts(TTolvIBusComm& bus, const TDetectHooks& hooks) {
    // No progress: the dialog shows one outcome per port.
    TQuietProgress quiet;
    for (int n = 1; n <= 4; ++n) {
        hooks.SetOutcome(n, TestingText);
        // No Disconnect: the port is closed right after the register has answered.
        const TPortSettings port{"COM" + std::to_string(n), std::nullopt};
        if (OpenAndConnect(bus, quiet, port) == TFlowResult::Done) {
            bus.SetActive(false);
            hooks.SetOutcome(n, FoundText);
            return hooks.AskApply() ? n : 0;
        }
        if (!hooks.StillShown())
            return 0;
        hooks.SetOutcome(n, NotFoundText);
    }
    return 0;
}

bool ApplyDetectedPort(int n) {
    PortNumber = n;
    return WriteCommPort(n);
}
