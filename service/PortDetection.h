#pragma once
// Port detection: COM1 to COM4 are tried in turn until a register answers, and the user may
// keep the port found as the configured one. When none answers, the machine's other serial
// devices can be tried too, and the one a register answered on mapped to a COM name.

#include "PortDiscovery.h"

#include <QtGlobal>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TTolvIBusComm;

inline constexpr char TestingText[] = QT_TRANSLATE_NOOP("Messages", "Testing...");
inline constexpr char FoundText[] = QT_TRANSLATE_NOOP("Messages", "Tolv found!");
inline constexpr char NotFoundText[] = QT_TRANSLATE_NOOP("Messages", "No tolv found.");
inline constexpr char ApplyPortQuestion[] =
    QT_TRANSLATE_NOOP("Messages", "Port found! Do you want to apply it?");

struct TDetectHooks {
    std::function<void(int port, const std::string& text)> SetOutcome;
    // False once the user closed the dialog; the search then stops.
    std::function<bool()> StillShown;
    // Asked when a register answered; true to keep the port.
    std::function<bool()> AskApply;
};

struct TDetectResult {
    int found = 0;        // the port a register answered on, 0 for none
    bool apply = false;   // the user wants to keep it
    bool stopped = false; // the user closed the dialog before a register answered
};

// Tries the ports on bus (its CommName only is changed; the rate stays the component's own).
TDetectResult DetectPorts(TTolvIBusComm& bus, const TDetectHooks& hooks);

// Makes port n the configured one and stores it in SYSTEM.CFG. False (errno set) when the file
// could not be written.
bool ApplyDetectedPort(int n);

// ---- Beyond COM1 to COM4 ----
// Discovery reads under root ("/" in the program); the devices' paths are the ones to store, and
// a probe opens them under the root.

// What COM1 to COM4 open: [Ports] COMn or its default, and the listed device it leads to.
struct TPortMap {
    std::array<std::string, 4> paths;
    std::array<const SerialDevice*, 4> devices{}; // null where the path leads to none listed
    // The port numbers (1 to 4) whose device this is.
    std::vector<int> PortsOf(const SerialDevice& device) const;
};
// devices must outlive the map.
TPortMap MapPorts(const std::vector<SerialDevice>& devices, const std::string& root = "/");

// The listed devices no COM name leads to: those DetectPorts has not tried.
std::vector<SerialDevice> UnmappedDevices(const std::vector<SerialDevice>& devices,
                                          const std::string& root = "/");

struct TProbeHooks {
    // TestingText, FoundText, NotFoundText, or why the device could not be opened.
    std::function<void(size_t device, const std::string& text)> SetOutcome;
    std::function<bool()> StillShown;
};

// Tries each device as DetectPorts tries a port, until a register answers. A device that cannot
// be opened is told through SetOutcome, not the component's error box: the user chose none of
// them. Returns the index of the device a register answered on.
std::optional<size_t> ProbeDevices(TTolvIBusComm& bus, const std::vector<SerialDevice>& devices,
                                   const TProbeHooks& hooks, const std::string& root = "/");

// The COM name a device a register answered on is offered as: the configured port, which did
// not answer; with none configured, the first whose device is not present, else COM1.
int PortForFoundDevice(const std::string& root = "/");
// "Register found on <description>. Use it as COMn?"
std::string UseDeviceQuestion(const SerialDevice& device, int n);
// Maps port n to the device and makes it the configured port: [Ports] COMn and [Comm] Port in
// one write. False (errno set) when SYSTEM.CFG could not be written.
bool ApplyDetectedDevice(int n, const std::string& devicePath);
