#include "PortDiscovery.h"

#include "SysFiles.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

// Kernel name -> link path, for one folder of udev's /dev/serial links. When two links lead to
// one node the first in name order wins, so a listing never changes between two calls.
std::map<std::string, std::string> StableLinks(const std::string& root, const std::string& dir) {
    std::map<std::string, std::string> links;
    sysfiles::ForEachEntry(UnderRoot(root, dir), [&](const fs::directory_entry& entry) {
        std::error_code ec;
        const fs::path target = fs::read_symlink(entry.path(), ec);
        if (ec)
            return;
        const std::string link = dir + "/" + entry.path().filename().string();
        auto [it, added] = links.emplace(target.filename().string(), link);
        if (!added && link < it->second)
            it->second = link;
    });
    return links;
}

bool Within(const fs::path& path, const fs::path& top) {
    auto [t, p] = std::mismatch(top.begin(), top.end(), path.begin(), path.end());
    return t == top.end() && p != path.end();
}

// The driver that serves a port: the nearest bound driver above the tty, passing over the serial
// core's own port and controller devices (newer kernels put those between a UART and its tty).
std::string DriverOf(fs::path device, const fs::path& devicesTop) {
    std::error_code ec;
    for (int level = 0; level < 8 && Within(device, devicesTop); ++level) {
        const fs::path driver = fs::read_symlink(device / "driver", ec);
        if (!ec && driver.string().find("/serial-base/") == std::string::npos)
            return driver.filename().string();
        device = device.parent_path();
    }
    return {};
}

// The USB device (the folder with idVendor) a port hangs from, or empty for other buses.
fs::path UsbDeviceOf(fs::path device, const fs::path& devicesTop) {
    std::error_code ec;
    for (int level = 0; level < 8 && Within(device, devicesTop); ++level) {
        if (fs::exists(device / "idVendor", ec))
            return device;
        device = device.parent_path();
    }
    return {};
}

std::string Describe(const SerialDevice& d) {
    std::string what;
    std::string aside; // the USB id, where the device's strings say little
    if (!d.product.empty()) {
        what = d.product;
        if (d.manufacturer.empty())
            aside = d.UsbId() + ", ";
        else if (d.product.find(d.manufacturer) == std::string::npos)
            what = d.manufacturer + " " + d.product;
    } else if (d.IsUsb()) {
        what = d.kind == SerialDeviceKind::UsbAcm ? "USB ACM device" : "USB serial adapter";
        if (!d.manufacturer.empty())
            what = d.manufacturer + " " + what;
        aside = d.UsbId() + ", ";
    } else {
        what = "Built-in serial port";
    }
    if (!d.serial.empty())
        what += ", serial " + d.serial;
    return what + " (" + aside + d.name + ")";
}

// ttyUSB2 before ttyUSB10: runs of digits compare by their value.
bool NaturalLess(std::string_view a, std::string_view b) {
    auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    auto number = [&](std::string_view s, size_t& i) {
        const size_t start = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        std::string_view run = s.substr(start, i - start);
        return run.substr(std::min(run.find_first_not_of('0'), run.size()));
    };
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::string_view x = number(a, i), y = number(b, j);
            if (x.size() != y.size())
                return x.size() < y.size();
            if (x != y)
                return x < y;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

} // namespace

std::string UnderRoot(const std::string& root, const std::string& path) {
    std::string base = root;
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    if (base.empty())
        return path;
    return path.empty() || path.front() != '/' ? base + "/" + path : base + path;
}

std::vector<SerialDevice> ListSerialDevices(const std::string& root) {
    std::vector<SerialDevice> devices;
    std::error_code noSys;
    const fs::path devicesTop = fs::canonical(UnderRoot(root, "/sys/devices"), noSys);
    if (noSys)
        return devices;
    const auto byId = StableLinks(root, "/dev/serial/by-id");
    const auto byPath = StableLinks(root, "/dev/serial/by-path");
    sysfiles::ForEachEntry(
        UnderRoot(root, "/sys/class/tty"), [&](const fs::directory_entry& entry) {
            std::error_code ec;
            const fs::path tty = entry.path();
            // Consoles, virtual terminals and pseudo-terminals have no device behind them.
            const fs::path device = fs::canonical(tty / "device", ec);
            if (ec)
                return;
            // The serial core reserves ports a UART may later claim; those have type 0 (unknown).
            if (sysfiles::FirstLine(tty / "type") == "0")
                return;
            SerialDevice d;
            d.name = tty.filename().string();
            d.node = "/dev/" + d.name;
            if (!fs::exists(UnderRoot(root, d.node), ec))
                return;
            d.driver = DriverOf(device, devicesTop);
            const fs::path usb = UsbDeviceOf(device, devicesTop);
            if (!usb.empty()) {
                d.kind = d.name.starts_with("ttyACM") ? SerialDeviceKind::UsbAcm
                                                      : SerialDeviceKind::UsbSerial;
                d.vendorId = sysfiles::FirstLine(usb / "idVendor");
                d.productId = sysfiles::FirstLine(usb / "idProduct");
                d.manufacturer = sysfiles::FirstLine(usb / "manufacturer");
                d.product = sysfiles::FirstLine(usb / "product");
                d.serial = sysfiles::FirstLine(usb / "serial");
            }
            // by-id names carry the serial number; without one two equal adapters would share a
            // name, and the port they sit in (by-path) is what tells them apart.
            const auto id = byId.find(d.name);
            const auto at = byPath.find(d.name);
            if (id != byId.end() && (!d.serial.empty() || at == byPath.end()))
                d.path = id->second;
            else if (at != byPath.end())
                d.path = at->second;
            else
                d.path = d.node;
            d.description = Describe(d);
            devices.push_back(std::move(d));
        });
    std::sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        return NaturalLess(a.name, b.name);
    });
    return devices;
}

const SerialDevice* FindSerialDevice(const std::vector<SerialDevice>& devices,
                                     const std::string& path, const std::string& root) {
    for (const SerialDevice& d : devices)
        if (d.path == path || d.node == path)
            return &d;
    std::error_code ec;
    const fs::path target = fs::canonical(UnderRoot(root, path), ec);
    if (ec)
        return nullptr;
    for (const SerialDevice& d : devices)
        if (fs::canonical(UnderRoot(root, d.node), ec) == target && !ec)
            return &d;
    return nullptr;
}

std::string KernelDeviceName(const std::string& path, const std::string& root) {
    std::error_code ec;
    const fs::path full = UnderRoot(root, path);
    const fs::path resolved = fs::canonical(full, ec);
    if (!ec)
        return resolved.filename().string();
    // An unplugged adapter leaves no link behind; a link left dangling still names its node.
    const fs::path target = fs::read_symlink(full, ec);
    return (ec ? fs::path(path) : target).filename().string();
}

std::optional<int> LatencyTimerMs(const std::string& path, const std::string& root) {
    const std::string name = KernelDeviceName(path, root);
    if (name.empty())
        return std::nullopt;
    const std::string text = sysfiles::FirstLine(
        UnderRoot(root, "/sys/bus/usb-serial/devices/" + name + "/latency_timer"));
    int ms = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ms);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return ms;
}
