#pragma once
// Why a serial port would not open, and what the user can do about it: plain lines to show
// beside the port's fixed error text, never in its place.

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

class ECommsError;

enum class PortFailureReason {
    NoDevice,             // the port name maps to no device (COM0, "None")
    NotPresent,           // nothing at the path: unplugged, or a name that never existed
    NoHardware,           // a node without a port behind it (a reserved ttyS, a vanished adapter)
    PermissionDenied,     // the user may not open the node
    InUse,                // another program holds it
    TakenByBrltty,        // the braille service claimed a USB-serial adapter
    ProbedByModemManager, // ModemManager holds the device while it looks for a modem
    NotSerial,            // a file, a directory or a device that is no tty
    Other,                // none of the above; the system's own reason
};

// What the machine can tell about the user and the process. Current() asks the system; tests
// fill it in, since they run as root, who may open anything.
struct PortSystem {
    std::string root = "/";
    std::string userName;
    std::vector<gid_t> userGroups;    // the groups the account database gives the user
    std::vector<gid_t> processGroups; // the groups this process has (fixed at login)
    pid_t selfPid = 0;
    // Whether this process may open the node for reading and writing.
    std::function<bool(const std::string& path)> mayOpen;

    static PortSystem Current(const std::string& root = "/");
};

struct PortFailure {
    PortFailureReason reason = PortFailureReason::Other;
    std::vector<std::string> lines;

    std::string Text() const; // the lines joined by newlines
};

// errno is the one of the failed open step (ECommsError::SystemError()), 0 when there was none.
PortFailure ExplainOpenFailure(const std::string& devicePath, int error, const PortSystem& system);
// For any error the port raises; only the failures of opening the device are looked into.
PortFailure ExplainPortFailure(const std::string& devicePath, const ECommsError& error,
                               const PortSystem& system);

// The udev rules the program ships for its adapters, under this name in dist/.
inline constexpr const char* SerialUdevRulesFile = "60-quorve-plu-serial.rules";
// The rule that gives FTDI adapters a 1 ms latency timer.
inline constexpr const char* FtdiLatencyRule =
    R"(ACTION=="add", SUBSYSTEM=="usb-serial", DRIVER=="ftdi_sio", ATTR{latency_timer}="1")";

// Lines to show once when an adapter still holds received bytes for more than 1 ms after the port
// asked for low latency; empty when the timer is fine. With the rule installed already, the
// adapter only needs plugging in again for it to apply.
std::vector<std::string> LatencyHint(const std::string& devicePath, int latencyMs,
                                     bool ruleInstalled = false);
// Whether udev has the shipped rule (a package's or an administrator's copy) under root.
bool SerialUdevRuleInstalled(const std::string& root = "/");
