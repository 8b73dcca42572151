#pragma once
// A /sys and /dev tree laid out as the kernel and udev lay them out, under a folder of its own:
// relative links from class/tty into devices/, the device's driver links, udev's by-id and
// by-path links. Regular files stand in for device nodes.

#include <filesystem>
#include <fstream>
#include <string>

class FakeSerialTree {
public:
    explicit FakeSerialTree(std::string root) : root_(std::move(root)) {}
    const std::string& Root() const { return root_; }

    struct Usb {
        std::string tty; // ttyUSB0 or ttyACM0
        std::string vendor, product, manufacturer, productName, serial, driver;
        std::string byId, byPath; // link names in /dev/serial, empty for none
        int latencyMs = -1;       // -1: the driver has no latency timer
        bool withTty = true;      // false: the device is plugged in but no driver made a port
    };

    void AddUsb(const Usb& u) {
        const std::string usb =
            "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(++usbPorts_);
        const std::string interface = usb + "/" + usb.substr(usb.rfind('/') + 1) + ":1.0";
        Write(usb + "/idVendor", u.vendor);
        Write(usb + "/idProduct", u.product);
        if (!u.manufacturer.empty())
            Write(usb + "/manufacturer", u.manufacturer);
        if (!u.productName.empty())
            Write(usb + "/product", u.productName);
        if (!u.serial.empty())
            Write(usb + "/serial", u.serial);
        Link("/sys/bus/usb/devices/" + usb.substr(usb.rfind('/') + 1), usb);
        std::filesystem::create_directories(Path(interface));
        if (!u.withTty)
            return;
        const bool acm = u.tty.starts_with("ttyACM");
        // ACM ttys hang from the interface; usb-serial ones from a port device below it.
        const std::string device = acm ? interface : interface + "/" + u.tty;
        Link(device + "/driver",
             (acm ? "/sys/bus/usb/drivers/" : "/sys/bus/usb-serial/drivers/") + u.driver);
        if (!acm) {
            Link(interface + "/driver", "/sys/bus/usb/drivers/" + u.driver);
            Link("/sys/bus/usb-serial/devices/" + u.tty, device);
        }
        if (u.latencyMs >= 0)
            Write(device + "/latency_timer", std::to_string(u.latencyMs));
        AddTty(u.tty, device, "");
        if (!u.byId.empty())
            Link("/dev/serial/by-id/" + u.byId, "/dev/" + u.tty);
        if (!u.byPath.empty())
            Link("/dev/serial/by-path/" + u.byPath, "/dev/" + u.tty);
    }

    // A UART as newer kernels show it: the port and controller devices of the serial core
    // between the tty and the UART's own device. type 0 is a port reserved without a UART.
    void AddBuiltIn(const std::string& tty, int type, bool node = true) {
        const std::string uart = "/sys/devices/pnp0/00:0" + std::to_string(++uarts_);
        Link(uart + "/driver", "/sys/bus/pnp/drivers/serial");
        Link(uart + "/ctrl/driver", "/sys/bus/serial-base/drivers/ctrl");
        Link(uart + "/ctrl/port/driver", "/sys/bus/serial-base/drivers/port");
        AddTty(tty, uart + "/ctrl/port", std::to_string(type));
        if (!node)
            std::filesystem::remove(Path("/dev/" + tty));
    }

    // A terminal without a device: a virtual console, the console.
    void AddVirtual(const std::string& tty) {
        std::filesystem::create_directories(Path("/sys/devices/virtual/tty/" + tty));
        Link("/sys/class/tty/" + tty, "/sys/devices/virtual/tty/" + tty);
        Write("/dev/" + tty, "");
    }

    // A busy machine for the benchmarks: count adapters (half FTDI with serial numbers, a
    // quarter CH340 without, a quarter ACM devices), the 32 ttyS the serial core reserves (one
    // with a UART) and 64 virtual consoles. ListSerialDevices gives count + 1 devices.
    void AddBusyMachine(int count) {
        for (int i = 0; i < count; ++i) {
            const std::string n = std::to_string(i);
            if (i % 4 < 2)
                AddUsb({"ttyUSB" + n, "0403", "6001", "FTDI", "FT232R USB UART", "A" + n,
                        "ftdi_sio", "usb-FTDI_FT232R_USB_UART_A" + n + "-if00-port0",
                        "pci-0000:00:14.0-usb-0:" + n + ":1.0-port0", 16});
            else if (i % 4 == 2)
                AddUsb({"ttyUSB" + n, "1a86", "7523", "", "USB Serial", "", "ch341",
                        "usb-1a86_USB_Serial-if00-port0",
                        "pci-0000:00:14.0-usb-0:" + n + ":1.0-port0"});
            else
                AddUsb({"ttyACM" + n, "2341", "0043", "Arduino", "Uno", "S" + n, "cdc_acm",
                        "usb-Arduino_Uno_S" + n + "-if00", ""});
        }
        for (int i = 0; i < 32; ++i)
            AddBuiltIn("ttyS" + std::to_string(i), i == 0 ? 4 : 0);
        for (int i = 0; i < 64; ++i)
            AddVirtual("tty" + std::to_string(i));
    }

    std::string Path(const std::string& path) const { return root_ + path; }

    void Write(const std::string& path, const std::string& text) const {
        std::filesystem::create_directories(std::filesystem::path(Path(path)).parent_path());
        std::ofstream(Path(path)) << text << "\n";
    }

    // A relative link, as sysfs and udev make them, so the tree works wherever it lies.
    void Link(const std::string& link, const std::string& target) const {
        namespace fs = std::filesystem;
        const fs::path at = Path(link);
        fs::create_directories(at.parent_path());
        fs::remove(at); // udev too: the device that came last takes a shared name
        fs::create_symlink(fs::path(Path(target)).lexically_relative(at.parent_path()), at);
    }

private:
    void AddTty(const std::string& tty, const std::string& device, const std::string& type) {
        const std::string dir = device + "/tty/" + tty;
        std::filesystem::create_directories(Path(dir));
        Link(dir + "/device", device);
        if (!type.empty())
            Write(dir + "/type", type);
        Link("/sys/class/tty/" + tty, dir);
        Write("/dev/" + tty, "");
    }

    std::string root_;
    int usbPorts_ = 0;
    int uarts_ = 0;
};
