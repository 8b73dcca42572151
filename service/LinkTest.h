#pragma once
// The link test: one connect and disconnect with the register on the configured port.

#include "RegisterConnection.h"

class TTolvIBusComm;

// Done when the register answered.
TFlowResult RunLinkTest(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port);
