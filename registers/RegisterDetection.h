#pragma once
// Registers not yet in the list: the machine's serial devices that no register of the list
// uses are tried one by one, and each one a register answers on is offered with the
// identification it gave.

#include "PortDetection.h"
#include "RegisterList.h"

#include <string>
#include <vector>

class TTolvIBusComm;

struct TFoundRegister {
    SerialDevice device;
    std::string identification; // code-page bytes
};

// The listed devices no register of the list opens (by its kernel device, whatever name the
// register's settings give it).
std::vector<SerialDevice> FreeDevices(const std::vector<SerialDevice>& devices,
                                      const TRegisterList& list, const std::string& root = "/");

// Tries every device (hooks as ProbeDevices has them, by the device's index) and returns the
// ones a register answered on. Stops when StillShown says so.
std::vector<TFoundRegister> FindRegisters(TTolvIBusComm& bus,
                                          const std::vector<SerialDevice>& devices,
                                          const TProbeHooks& hooks, const std::string& root = "/");
