#include "PortFailure.h"

#include "PortDiscovery.h"
#include "SPComm.h"
#include "SysFiles.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using sysfiles::FirstLine;
using sysfiles::ForEachEntry;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Contains(const std::vector<gid_t>& groups, gid_t gid) {
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

std::string GroupName(gid_t gid, const std::string& root) {
    std::ifstream in(UnderRoot(root, "/etc/group"));
    for (std::string line; std::getline(in, line);) {
        const size_t a = line.find(':'), b = line.find(':', a + 1), c = line.find(':', b + 1);
        if (c == std::string::npos)
            continue;
        if (line.compare(b + 1, c - b - 1, std::to_string(gid)) == 0)
            return line.substr(0, a);
    }
    if (root == "/") {
        // Groups from a directory service are not in /etc/group.
        group entry{}, *found = nullptr;
        char buffer[4096];
        if (getgrgid_r(gid, &entry, buffer, sizeof buffer, &found) == 0 && found)
            return found->gr_name;
    }
    return std::to_string(gid);
}

std::string ModeText(mode_t mode) {
    std::string text = S_ISCHR(mode) ? "c" : S_ISDIR(mode) ? "d" : "-";
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        text += (mode & (0400 >> bit)) ? letters[bit] : '-';
    return text;
}

struct Holder {
    pid_t pid;
    std::string name;
};

std::string ProcessName(const std::string& root, pid_t pid) {
    return FirstLine(UnderRoot(root, "/proc/" + std::to_string(pid) + "/comm"));
}

std::optional<pid_t> ParsePid(std::string_view text) {
    pid_t pid = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pid);
    if (error != std::errc() || end == text.data() || pid <= 0)
        return std::nullopt;
    return pid;
}

// The node a path opens, as the system names it (without the root), and its identity.
struct Node {
    std::string path;
    struct stat st {};
};

// Processes with a descriptor open on the node. Another user's descriptors cannot be read
// unless we are root; those processes stay unnamed.
std::vector<Holder> HoldersOf(const Node& node, const std::string& root) {
    std::vector<Holder> holders;
    ForEachEntry(UnderRoot(root, "/proc"), [&](const fs::directory_entry& process) {
        const std::optional<pid_t> pid = ParsePid(process.path().filename().string());
        bool holds = false;
        if (pid)
            ForEachEntry(process.path() / "fd", [&](const fs::directory_entry& fd) {
                std::error_code ec;
                const fs::path target = fs::read_symlink(fd.path(), ec);
                struct stat st {};
                holds = holds || (!ec && target == node.path) ||
                        (stat(fd.path().c_str(), &st) == 0 && st.st_dev == node.st.st_dev &&
                         st.st_ino == node.st.st_ino);
            });
        if (holds)
            holders.push_back({*pid, ProcessName(root, *pid)});
    });
    std::sort(holders.begin(), holders.end(),
              [](const Holder& a, const Holder& b) { return a.pid < b.pid; });
    return holders;
}

// A UUCP lock file (LCK..ttyUSB0) of a living process: the way minicom, cu and their kind say
// they use a port. The pid is written as text, or as a binary int by old programs.
std::optional<std::pair<std::string, Holder>> LockFileOf(const std::string& name,
                                                         const std::string& root) {
    for (const char* dir : {"/run/lock", "/var/lock"}) {
        const std::string file = std::string(dir) + "/LCK.." + name;
        const std::string text = ReadAll(UnderRoot(root, file));
        std::optional<pid_t> pid;
        const size_t digits = text.find_first_not_of(" \t");
        if (digits != std::string::npos)
            pid = ParsePid(std::string_view(text).substr(digits));
        if (!pid && text.size() == sizeof(int32_t)) {
            int32_t binary = 0;
            std::memcpy(&binary, text.data(), sizeof binary);
            if (binary > 0)
                pid = binary;
        }
        std::error_code ec;
        if (pid && fs::exists(UnderRoot(root, "/proc/" + std::to_string(*pid)), ec))
            return std::make_pair(file, Holder{*pid, ProcessName(root, *pid)});
    }
    return std::nullopt;
}

bool ProcessRuns(const std::string& root, const std::string& name) {
    bool runs = false;
    ForEachEntry(UnderRoot(root, "/proc"), [&](const fs::directory_entry& process) {
        runs = runs || (ParsePid(process.path().filename().string()) &&
                        FirstLine(process.path() / "comm") == name);
    });
    return runs;
}

std::string HolderText(const Holder& h, const PortSystem& system) {
    const std::string name = h.name.empty() ? "a program" : h.name;
    return name + " (process " + std::to_string(h.pid) +
           (h.pid == system.selfPid ? ", this program)" : ")");
}

// brltty's udev rule claims these adapters for braille displays that use the same chips, and
// takes them from their serial driver; its rules may name more.
struct BrlttyTarget {
    const char* vendor;
    const char* product;
    const char* chip;
};
constexpr BrlttyTarget BrlttyTargets[] = {{"1a86", "7523", "CH340"}, {"10c4", "ea60", "CP210x"}};

std::string BrlttyRules(const std::string& root) {
    for (const char* file :
         {"/usr/lib/udev/rules.d/85-brltty.rules", "/lib/udev/rules.d/85-brltty.rules",
          "/etc/udev/rules.d/85-brltty.rules"}) {
        std::string text = ReadAll(UnderRoot(root, file));
        if (!text.empty())
            return text;
    }
    return {};
}

// The rules name devices as udev's PRODUCT value: hex without leading zeros, "403/6001/".
bool RulesName(const std::string& rules, const std::string& vendor, const std::string& product) {
    auto bare = [](const std::string& hex) {
        const size_t at = hex.find_first_not_of('0');
        return at == std::string::npos ? std::string("0") : hex.substr(at);
    };
    return rules.find("\"" + bare(vendor) + "/" + bare(product) + "/") != std::string::npos;
}

// A plugged-in adapter brltty would take that has no tty: brltty has it.
std::vector<std::string> BrlttyTakenAdapters(const std::string& root) {
    std::vector<std::string> taken;
    const std::string rules = BrlttyRules(root);
    if (rules.empty() && !ProcessRuns(root, "brltty"))
        return taken;
    ForEachEntry(UnderRoot(root, "/sys/bus/usb/devices"), [&](const fs::directory_entry& usb) {
        const std::string vendor = FirstLine(usb.path() / "idVendor");
        const std::string product = FirstLine(usb.path() / "idProduct");
        if (vendor.empty())
            return;
        std::string chip;
        for (const BrlttyTarget& t : BrlttyTargets)
            if (vendor == t.vendor && product == t.product)
                chip = t.chip;
        if (chip.empty() && RulesName(rules, vendor, product)) {
            chip = FirstLine(usb.path() / "product");
            if (chip.empty())
                chip = "USB serial";
        }
        if (chip.empty())
            return;
        // Its interfaces lie in the device's folder; a serial driver puts a ttyUSB under one.
        bool hasTty = false;
        std::error_code walk;
        for (auto it = fs::recursive_directory_iterator(usb.path(), walk);
             it != fs::recursive_directory_iterator() && !hasTty; it.increment(walk)) {
            if (it.depth() > 2)
                it.disable_recursion_pending();
            hasTty = it->path().filename().string().starts_with("tty");
        }
        if (!hasTty)
            taken.push_back(chip + " adapter (" + vendor + ":" + product + ")");
    });
    return taken;
}

void AddBrlttyFix(std::vector<std::string>& lines) {
    lines.push_back("Fix: sudo systemctl mask brltty-udev.service (or, without a braille display: "
                    "sudo apt remove brltty), then unplug the adapter and plug it in again.");
}

void AddPresentDevices(std::vector<std::string>& lines, const std::string& root) {
    const std::vector<SerialDevice> devices = ListSerialDevices(root);
    if (devices.empty()) {
        lines.push_back("No serial device is present now.");
        return;
    }
    lines.push_back("Serial devices present now:");
    for (const SerialDevice& d : devices)
        lines.push_back("  " + d.path + " - " + d.description);
}

void AddModemManagerAdvice(std::vector<std::string>& lines, const std::string& path,
                           const std::string& root) {
    const std::vector<SerialDevice> devices = ListSerialDevices(root);
    const SerialDevice* device = FindSerialDevice(devices, path, root);
    lines.push_back("To keep ModemManager away from it, a udev rule can set ID_MM_DEVICE_IGNORE "
                    "(the program ships one as " +
                    std::string(SerialUdevRulesFile) + "), for this device:");
    if (device && !device->vendorId.empty())
        lines.push_back("  SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"" + device->vendorId +
                        "\", ATTRS{idProduct}==\"" + device->productId +
                        "\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"");
    else
        lines.push_back("  KERNEL==\"" + KernelDeviceName(path, root) +
                        "\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"");
    lines.push_back("Without a modem on this machine: sudo systemctl disable --now ModemManager");
}

std::string KindOfFile(const struct stat& st, const std::string& root) {
    if (S_ISREG(st.st_mode))
        return "a regular file";
    if (S_ISDIR(st.st_mode))
        return "a directory";
    if (S_ISBLK(st.st_mode))
        return "a block device";
    if (!S_ISCHR(st.st_mode))
        return "not a device";
    // Pseudo-terminals have no entry here; every other character device names its class.
    std::error_code ec;
    const std::string dev =
        std::to_string(major(st.st_rdev)) + ":" + std::to_string(minor(st.st_rdev));
    const fs::path subsystem =
        fs::read_symlink(UnderRoot(root, "/sys/dev/char/" + dev + "/subsystem"), ec);
    if (ec || subsystem.filename() == "tty")
        return {};
    return "a " + subsystem.filename().string() + " device";
}

void Permission(PortFailure& f, const std::string& path, const Node& node,
                const PortSystem& system) {
    f.reason = PortFailureReason::PermissionDenied;
    const std::string group = GroupName(node.st.st_gid, system.root);
    const std::string mode = ModeText(node.st.st_mode);
    f.lines.push_back("You may not open " + path + ": it belongs to group " + group + " (" + mode +
                      ").");
    const bool groupMayUse = (node.st.st_mode & 060) == 060;
    if (node.st.st_gid == 0 || !groupMayUse) {
        f.lines.push_back("A udev rule can give it to group dialout: GROUP=\"dialout\", "
                          "MODE=\"0660\".");
    } else if (Contains(system.processGroups, node.st.st_gid)) {
        f.lines.push_back("This login has group " + group +
                          " already; something else keeps it "
                          "out (an access list, a security module).");
    } else if (Contains(system.userGroups, node.st.st_gid)) {
        f.lines.push_back("You are in group " + group +
                          ", but this login began before you were "
                          "added: log out and back in.");
    } else {
        const std::string user = system.userName.empty() ? "$USER" : system.userName;
        f.lines.push_back("Add yourself to that group: sudo usermod -aG " + group + " " + user);
        f.lines.push_back("then log out and back in: a new group counts from the next login.");
    }
}

void InUse(PortFailure& f, const std::string& path, const Node& node, const PortSystem& system) {
    f.reason = PortFailureReason::InUse;
    const std::vector<Holder> holders = HoldersOf(node, system.root);
    for (const Holder& h : holders) {
        if (h.name == "brltty")
            f.reason = PortFailureReason::TakenByBrltty;
        else if (h.name == "ModemManager" && f.reason == PortFailureReason::InUse)
            f.reason = PortFailureReason::ProbedByModemManager;
    }
    if (!holders.empty()) {
        std::string names;
        for (const Holder& h : holders)
            names += (names.empty() ? "" : ", ") + HolderText(h, system);
        f.lines.push_back(path + " is in use by " + names + ".");
    } else if (auto lock = LockFileOf(fs::path(node.path).filename().string(), system.root)) {
        f.lines.push_back(path + " is claimed by the lock file " + lock->first + " of " +
                          HolderText(lock->second, system) + ".");
    } else {
        f.lines.push_back(path + " is in use by another program, which cannot be named from "
                                 "here (it may run as another user).");
        if (ProcessRuns(system.root, "ModemManager")) {
            f.reason = PortFailureReason::ProbedByModemManager;
            f.lines.push_back("ModemManager runs on this machine and may be probing it.");
        }
    }
    if (f.reason == PortFailureReason::TakenByBrltty) {
        f.lines.push_back("brltty, the braille display service, takes such adapters.");
        AddBrlttyFix(f.lines);
    } else if (f.reason == PortFailureReason::ProbedByModemManager) {
        f.lines.push_back("ModemManager looks for modems on new serial devices and lets go after "
                          "some seconds; try again then.");
        AddModemManagerAdvice(f.lines, path, system.root);
    } else {
        f.lines.push_back("Close that program, or choose another port.");
    }
}

} // namespace

PortSystem PortSystem::Current(const std::string& root) {
    PortSystem s;
    s.root = root;
    s.selfPid = getpid();
    passwd entry{}, *found = nullptr;
    char buffer[4096];
    if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found) {
        s.userName = found->pw_name;
        int count = 64;
        std::vector<gid_t> groups(static_cast<size_t>(count));
        if (getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0) {
            groups.resize(size_t(count));
            getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count);
        }
        groups.resize(size_t(std::max(count, 0)));
        s.userGroups = groups;
    }
    const int count = getgroups(0, nullptr);
    s.processGroups.resize(size_t(std::max(count, 0)));
    if (count > 0)
        s.processGroups.resize(size_t(std::max(getgroups(count, s.processGroups.data()), 0)));
    s.processGroups.push_back(getegid());
    s.mayOpen = [root](const std::string& path) {
        return access(UnderRoot(root, path).c_str(), R_OK | W_OK) == 0;
    };
    return s;
}

std::string PortFailure::Text() const {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

PortFailure ExplainOpenFailure(const std::string& path, int error, const PortSystem& system) {
    PortFailure f;
    const std::string& root = system.root;
    if (path.empty()) {
        f.reason = PortFailureReason::NoDevice;
        f.lines.push_back("No serial device is chosen for this port.");
        AddPresentDevices(f.lines, root);
        return f;
    }
    Node node;
    const std::string full = UnderRoot(root, path);
    std::error_code ec;
    if (stat(full.c_str(), &node.st) != 0 || error == ENOENT) {
        f.reason = PortFailureReason::NotPresent;
        f.lines.push_back(path + " is not present (unplugged?)");
        const std::vector<std::string> taken = BrlttyTakenAdapters(root);
        for (const std::string& adapter : taken) {
            f.reason = PortFailureReason::TakenByBrltty;
            f.lines.push_back("A " + adapter +
                              " is plugged in, but brltty, the braille display "
                              "service, took it from its serial driver.");
        }
        if (!taken.empty())
            AddBrlttyFix(f.lines);
        AddPresentDevices(f.lines, root);
        return f;
    }
    const fs::path resolved = fs::canonical(full, ec);
    const fs::path top = fs::canonical(root, ec);
    const std::string inside = resolved.lexically_relative(top).string();
    node.path = inside.empty() || inside.starts_with("..") ? path : "/" + inside;

    // What the failed call said comes first; the kind of file only where it said nothing.
    if (error == EACCES || error == EPERM ||
        (error == 0 && system.mayOpen && !system.mayOpen(path))) {
        Permission(f, path, node, system);
        return f;
    }
    if (error == EBUSY || error == EWOULDBLOCK) {
        InUse(f, path, node, system);
        return f;
    }
    const std::string name = fs::path(node.path).filename().string();
    const bool reserved = FirstLine(UnderRoot(root, "/sys/class/tty/" + name + "/type")) == "0";
    if (reserved || error == ENXIO || error == ENODEV || error == EIO) {
        f.reason = PortFailureReason::NoHardware;
        f.lines.push_back(reserved ? path + " has no port behind it: the kernel keeps ttyS names "
                                            "for ports the machine may not have."
                                   : path + " is there, but its device does not answer "
                                            "(unplugged?)");
        AddPresentDevices(f.lines, root);
        return f;
    }
    const std::string kind = KindOfFile(node.st, root);
    if (!kind.empty() || error == ENOTTY || error == EISDIR || error == ENOTDIR) {
        f.reason = PortFailureReason::NotSerial;
        f.lines.push_back(path + " is not a serial device (" +
                          (kind.empty() ? "no terminal" : kind) + ").");
        return f;
    }
    if (error != 0)
        f.lines.push_back(path + ": " + std::strerror(error));
    return f;
}

PortFailure ExplainPortFailure(const std::string& devicePath, const ECommsError& error,
                               const PortSystem& system) {
    const std::string message = error.what();
    if (message == "Error opening serial port" || message == "File handle is not a comm handle ")
        return ExplainOpenFailure(devicePath, error.SystemError(), system);
    PortFailure f;
    if (error.SystemError() != 0)
        f.lines.push_back(std::strerror(error.SystemError()));
    return f;
}

std::vector<std::string> LatencyHint(const std::string& devicePath, int latencyMs,
                                     bool ruleInstalled) {
    if (latencyMs <= 1)
        return {};
    const std::string slow = devicePath + " holds received bytes up to " +
                             std::to_string(latencyMs) +
                             " ms before passing them on (its latency timer), which slows every "
                             "exchange.";
    if (ruleInstalled)
        return {slow, "The udev rule " + std::string(SerialUdevRulesFile) +
                          " that sets it to 1 ms is installed; it applies once the adapter is "
                          "unplugged and plugged in again."};
    return {
        slow,
        "A udev rule sets it to 1 ms whenever the adapter is plugged in; the program ships it as " +
            std::string(SerialUdevRulesFile) + " for /etc/udev/rules.d/:",
        std::string("  ") + FtdiLatencyRule,
    };
}

bool SerialUdevRuleInstalled(const std::string& root) {
    for (const char* dir :
         {"etc/udev/rules.d/", "run/udev/rules.d/", "usr/lib/udev/rules.d/", "lib/udev/rules.d/"}) {
        std::error_code error;
        if (std::filesystem::exists(root + "/" + dir + SerialUdevRulesFile, error))
            return true;
    }
    return false;
}
