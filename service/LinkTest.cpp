#include "LinkTest.h"

TFlowResult RunLinkTest(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port) {
    if (const TFlowResult opened = OpenAndConnect(bus, progress, port); opened != TFlowResult::Done)
        return opened;
    return DisconnectAndClose(bus, progress);
}
