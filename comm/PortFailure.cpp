#include "PortFailure.h"

#include "PortDiscovery.h"
#include "SPComm.h"
#include "SysFiles.h"

#include <QCoreApplication>
#include <QString>

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

// The lines are for people, in the program's language; paths, names and rules stay as they are.
// Without a translation (the command line's --json) they are English.
struct Words {
    Q_DECLARE_TR_FUNCTIONS(PortFailure)
};

QString Q(const std::string& text) {
    return QString::fromLocal8Bit(text);
}

std::string Line(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

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
    const QString name = h.name.empty() ? Words::tr("a program") : Q(h.name);
    return Line(h.pid == system.selfPid
                    ? Words::tr("%1 (process %2, this program)").arg(name, QString::number(h.pid))
                    : Words::tr("%1 (process %2)").arg(name, QString::number(h.pid)));
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
                chip = Line(Words::tr("USB serial"));
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
            taken.push_back(
                Line(Words::tr("%1 adapter (%2:%3)").arg(Q(chip), Q(vendor), Q(product))));
    });
    return taken;
}

void AddBrlttyFix(std::vector<std::string>& lines) {
    lines.push_back(Line(Words::tr("Fix: sudo systemctl mask brltty-udev.service (or, without a "
                                   "braille display: sudo apt remove brltty), then unplug the "
                                   "adapter and plug it in again.")));
}

void AddPresentDevices(std::vector<std::string>& lines, const std::string& root) {
    const std::vector<SerialDevice> devices = ListSerialDevices(root);
    if (devices.empty()) {
        lines.push_back(Line(Words::tr("No serial device is present now.")));
        return;
    }
    lines.push_back(Line(Words::tr("Serial devices present now:")));
    for (const SerialDevice& d : devices)
        lines.push_back("  " + d.path + " - " + d.description);
}

void AddModemManagerAdvice(std::vector<std::string>& lines, const std::string& path,
                           const std::string& root) {
    const std::vector<SerialDevice> devices = ListSerialDevices(root);
    const SerialDevice* device = FindSerialDevice(devices, path, root);
    lines.push_back(Line(Words::tr("To keep ModemManager away from it, a udev rule can set "
                                   "ID_MM_DEVICE_IGNORE (the program ships one as %1), for this "
                                   "device:")
                             .arg(SerialUdevRulesFile)));
    if (device && !device->vendorId.empty())
        lines.push_back("  SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"" + device->vendorId +
                        "\", ATTRS{idProduct}==\"" + device->productId +
                        "\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"");
    else
        lines.push_back("  KERNEL==\"" + KernelDeviceName(path, root) +
                        "\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"");
    lines.push_back(Line(
        Words::tr("Without a modem on this machine: sudo systemctl disable --now ModemManager")));
}

std::string KindOfFile(const struct stat& st, const std::string& root) {
    if (S_ISREG(st.st_mode))
        return Line(Words::tr("a regular file"));
    if (S_ISDIR(st.st_mode))
        return Line(Words::tr("a directory"));
    if (S_ISBLK(st.st_mode))
        return Line(Words::tr("a block device"));
    if (!S_ISCHR(st.st_mode))
        return Line(Words::tr("not a device"));
    // Pseudo-terminals have no entry here; every other character device names its class.
    std::error_code ec;
    const std::string dev =
        std::to_string(major(st.st_rdev)) + ":" + std::to_string(minor(st.st_rdev));
    const fs::path subsystem =
        fs::read_symlink(UnderRoot(root, "/sys/dev/char/" + dev + "/subsystem"), ec);
    if (ec || subsystem.filename() == "tty")
        return {};
    return Line(Words::tr("a %1 device").arg(Q(subsystem.filename().string())));
}

void Permission(PortFailure& f, const std::string& path, const Node& node,
                const PortSystem& system) {
    f.reason = PortFailureReason::PermissionDenied;
    const std::string group = GroupName(node.st.st_gid, system.root);
    const std::string mode = ModeText(node.st.st_mode);
    f.lines.push_back(Line(Words::tr("You may not open %1: it belongs to group %2 (%3).")
                               .arg(Q(path), Q(group), Q(mode))));
    const bool groupMayUse = (node.st.st_mode & 060) == 060;
    if (node.st.st_gid == 0 || !groupMayUse) {
        f.lines.push_back(Line(Words::tr("A udev rule can give it to group dialout: "
                                         "GROUP=\"dialout\", MODE=\"0660\".")));
    } else if (Contains(system.processGroups, node.st.st_gid)) {
        f.lines.push_back(Line(Words::tr("This login has group %1 already; something else keeps "
                                         "it out (an access list, a security module).")
                                   .arg(Q(group))));
    } else if (Contains(system.userGroups, node.st.st_gid)) {
        f.lines.push_back(Line(Words::tr("You are in group %1, but this login began before you "
                                         "were added: log out and back in.")
                                   .arg(Q(group))));
    } else {
        const std::string user = system.userName.empty() ? "$USER" : system.userName;
        f.lines.push_back(Line(Words::tr("Add yourself to that group: sudo usermod -aG %1 %2")
                                   .arg(Q(group), Q(user))));
        f.lines.push_back(
            Line(Words::tr("then log out and back in: a new group counts from the next login.")));
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
        f.lines.push_back(Line(Words::tr("%1 is in use by %2.").arg(Q(path), Q(names))));
    } else if (auto lock = LockFileOf(fs::path(node.path).filename().string(), system.root)) {
        f.lines.push_back(
            Line(Words::tr("%1 is claimed by the lock file %2 of %3.")
                     .arg(Q(path), Q(lock->first), Q(HolderText(lock->second, system)))));
    } else {
        f.lines.push_back(Line(Words::tr("%1 is in use by another program, which cannot be named "
                                         "from here (it may run as another user).")
                                   .arg(Q(path))));
        if (ProcessRuns(system.root, "ModemManager")) {
            f.reason = PortFailureReason::ProbedByModemManager;
            f.lines.push_back(
                Line(Words::tr("ModemManager runs on this machine and may be probing it.")));
        }
    }
    if (f.reason == PortFailureReason::TakenByBrltty) {
        f.lines.push_back(
            Line(Words::tr("brltty, the braille display service, takes such adapters.")));
        AddBrlttyFix(f.lines);
    } else if (f.reason == PortFailureReason::ProbedByModemManager) {
        f.lines.push_back(Line(Words::tr("ModemManager looks for modems on new serial devices and "
                                         "lets go after some seconds; try again then.")));
        AddModemManagerAdvice(f.lines, path, system.root);
    } else {
        f.lines.push_back(Line(Words::tr("Close that program, or choose another port.")));
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
        f.lines.push_back(Line(Words::tr("No serial device is chosen for this port.")));
        AddPresentDevices(f.lines, root);
        return f;
    }
    Node node;
    const std::string full = UnderRoot(root, path);
    std::error_code ec;
    if (stat(full.c_str(), &node.st) != 0 || error == ENOENT) {
        f.reason = PortFailureReason::NotPresent;
        f.lines.push_back(Line(Words::tr("%1 is not present (unplugged?)").arg(Q(path))));
        const std::vector<std::string> taken = BrlttyTakenAdapters(root);
        for (const std::string& adapter : taken) {
            f.reason = PortFailureReason::TakenByBrltty;
            f.lines.push_back(Line(Words::tr("A %1 is plugged in, but brltty, the braille display "
                                             "service, took it from its serial driver.")
                                       .arg(Q(adapter))));
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
        f.lines.push_back(Line((reserved ? Words::tr("%1 has no port behind it: the kernel keeps "
                                                     "ttyS names for ports the machine may not "
                                                     "have.")
                                         : Words::tr("%1 is there, but its device does not answer "
                                                     "(unplugged?)"))
                                   .arg(Q(path))));
        AddPresentDevices(f.lines, root);
        return f;
    }
    const std::string kind = KindOfFile(node.st, root);
    if (!kind.empty() || error == ENOTTY || error == EISDIR || error == ENOTDIR) {
        f.reason = PortFailureReason::NotSerial;
        f.lines.push_back(
            Line(Words::tr("%1 is not a serial device (%2).")
                     .arg(Q(path), kind.empty() ? Words::tr("no terminal") : Q(kind))));
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
    const std::string slow =
        Line(Words::tr("%1 holds received bytes up to %2 ms before passing them on (its latency "
                       "timer), which slows every exchange.")
                 .arg(Q(devicePath), QString::number(latencyMs)));
    if (ruleInstalled)
        return {slow, Line(Words::tr("The udev rule %1 that sets it to 1 ms is installed; it "
                                     "applies once the adapter is unplugged and plugged in again.")
                               .arg(SerialUdevRulesFile))};
    return {
        slow,
        Line(
            Words::tr("A udev rule sets it to 1 ms whenever the adapter is plugged in; the program "
                      "ships it as %1 for /etc/udev/rules.d/:")
                .arg(SerialUdevRulesFile)),
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
