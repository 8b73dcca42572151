#pragma once
// The machine's serial devices as the kernel's sysfs and udev's /dev/serial links show them.
// Every path is read under a root directory ("/" in the program) so that tests can hand in a
// tree of their own; the paths returned are those the program opens, without the root.

#include <optional>
#include <string>
#include <vector>

enum class SerialDeviceKind {
    UsbSerial, // ttyUSB*: a USB-serial adapter (FTDI, Prolific, CH340, CP210x...)
    UsbAcm,    // ttyACM*: a CDC-ACM device
    BuiltIn,   // a UART of the machine itself (ttyS*, ttyAMA*...)
};

struct SerialDevice {
    std::string path; // the name to store: /dev/serial/by-id/..., by-path/... or /dev/ttyS0
    std::string node; // the kernel's node, /dev/ttyUSB0
    std::string name; // ttyUSB0
    SerialDeviceKind kind = SerialDeviceKind::BuiltIn;
    std::string manufacturer; // USB strings; empty for built-in ports and silent adapters
    std::string product;
    std::string serial;
    std::string vendorId; // four lowercase hex digits, "0403"
    std::string productId;
    std::string driver;      // the kernel driver that serves the port: ftdi_sio, cdc_acm, serial...
    std::string description; // one line for a list: what it is, and its kernel name

    bool IsUsb() const { return kind != SerialDeviceKind::BuiltIn; }
    std::string UsbId() const { return vendorId.empty() ? "" : vendorId + ":" + productId; }
};

// USB adapters and ACM devices first, then built-in ports; in natural order of their names
// (ttyUSB2 before ttyUSB10). A port the kernel merely reserves (a ttyS without a UART) or whose
// node is missing from /dev is not listed.
std::vector<SerialDevice> ListSerialDevices(const std::string& root = "/");

// The listed device a stored path opens: its stable name, its kernel node, or any other link
// to the same node. Null when none of them does.
const SerialDevice* FindSerialDevice(const std::vector<SerialDevice>& devices,
                                     const std::string& path, const std::string& root = "/");

// The kernel name (ttyUSB0) of the node a path leads to, through the /dev/serial links.
std::string KernelDeviceName(const std::string& path, const std::string& root = "/");

// The latency timer of a USB-serial adapter in milliseconds: how long the adapter holds received
// bytes before it passes a short chunk on. Nothing for ports that have none.
std::optional<int> LatencyTimerMs(const std::string& path, const std::string& root = "/");

// root joined with an absolute path.
std::string UnderRoot(const std::string& root, const std::string& path);
