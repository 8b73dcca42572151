#include "RegisterList.h"

#include "AtomicFile.h"
#include "Backup.h"
#include "Ini.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int MaxNameLength = 40;
const char* const RemovedFolder = ".removed";
const char* const Section = "Register";

// "Cannot write PATH: the system's reason", in the program's language. The error comes first,
// taken before anything else can change errno.
std::string Failure(int error, const char* what, const std::string& path,
                    const std::string& other = {}) {
    QString text = QCoreApplication::translate("TRegisterList", what);
    text = other.empty() ? text.arg(QString::fromStdString(path))
                         : text.arg(QString::fromStdString(path), QString::fromStdString(other));
    return (text + ": " + QString::fromLocal8Bit(std::strerror(error))).toStdString();
}

bool SameName(const std::string& a, const std::string& b) {
    return QString::fromUtf8(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The bytes of a settings file to start from; a missing one starts empty. False (errno set) when
// it is there but cannot be read.
bool ReadBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    if (path.empty() || !Exists(path))
        return true;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        errno = EIO;
        return false;
    }
    return true;
}

void RemoveFolder(const std::string& folder) {
    for (const char* name : {RegisterSettingsName, RegisterInfoName})
        ::unlink((folder + "/" + name).c_str());
    ::rmdir(folder.c_str());
}

// The identification page may end in line ends or padding; a settings line holds none of them.
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text)
        line += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? ' ' : c;
    const size_t first = line.find_first_not_of(' ');
    const size_t last = line.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
}

// "Till 2" before "Till 10", regardless of case.
bool NaturalLess(const std::string& a, const std::string& b) {
    const QString x = QString::fromUtf8(a).toCaseFolded(), y = QString::fromUtf8(b).toCaseFolded();
    qsizetype i = 0, j = 0;
    while (i < x.size() && j < y.size()) {
        if (x[i].isDigit() && y[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < x.size() && x[ei].isDigit())
                ++ei;
            while (ej < y.size() && y[ej].isDigit())
                ++ej;
            // Leading zeros aside, the longer run of digits is the larger number.
            const QString nx = x.mid(i, ei - i).remove(QRegularExpression("^0+(?=.)"));
            const QString ny = y.mid(j, ej - j).remove(QRegularExpression("^0+(?=.)"));
            if (nx.size() != ny.size())
                return nx.size() < ny.size();
            if (nx != ny)
                return nx < ny;
            i = ei;
            j = ej;
            continue;
        }
        if (x[i] != y[j])
            return x[i] < y[j];
        ++i;
        ++j;
    }
    if ((x.size() - i) != (y.size() - j))
        return x.size() - i < y.size() - j;
    return a < b;
}

std::optional<int> ComNumber(const std::string& port) {
    if (port.size() == 4 && (port.compare(0, 3, "COM") == 0 || port.compare(0, 3, "com") == 0) &&
        port[3] >= '1' && port[3] <= '4')
        return port[3] - '0';
    return std::nullopt;
}

} // namespace

bool TRegister::InGroup(const std::string& group) const {
    return std::any_of(groups.begin(), groups.end(),
                       [&](const std::string& g) { return SameName(g, group); });
}

TRegisterPort PortOf(const TRegister& reg) {
    const IniFile cfg(reg.SettingsPath());
    TRegisterPort port;
    int n = cfg.ReadInteger("Comm", "Port", 2);
    if (n < 0 || n > 4)
        n = 2;
    port.baudIndex = cfg.ReadInteger("Comm", "BaudRate", 0);
    if (port.baudIndex < 0 || port.baudIndex > 4)
        port.baudIndex = 0;
    port.name = "COM" + std::to_string(n);
    port.device = PortDevicePathIn(reg.SettingsPath(), port.name);
    return port;
}

std::string PortKey(const TRegisterPort& port) {
    if (port.device.empty())
        return {};
    char resolved[PATH_MAX];
    return ::realpath(port.device.c_str(), resolved) ? std::string(resolved) : port.device;
}

std::string DefaultRegistersDir() {
    return SettingsDir + "registers/";
}

std::string NameProblem(const std::string& name) {
    const QString text = QString::fromUtf8(name);
    if (text.trimmed().isEmpty())
        return "a name is needed";
    if (text.size() > MaxNameLength)
        return "a name has at most " + std::to_string(MaxNameLength) + " characters";
    if (text.trimmed() != text)
        return "a name does not start or end with a space";
    if (text.startsWith('.') || text.startsWith('-'))
        return "a name does not start with \".\" or \"-\"";
    if (text.toUtf8().toStdString() != name)
        return "a name is UTF-8 text";
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return "a name holds no control characters";
        if (QStringLiteral("/\\:*?\"<>|,").contains(c))
            return std::string("a name holds none of / \\ : * ? \" < > | and commas (\"") +
                   QString(c).toStdString() + "\")";
    }
    return {};
}

std::string RegisterBackupRoot(const std::string& root, const std::string& name) {
    return root + (root.empty() || root.back() == '/' ? "" : "/") + name;
}

std::string RegisterTraceDir(const std::string& name) {
    return StateDir + "registers/" + name + "/";
}

std::string MoveRegisterFiles(const std::string& from, const std::string& to) {
    const std::pair<std::string, std::string> moves[] = {
        {RegisterBackupRoot(DefaultBackupRoot(), from),
         RegisterBackupRoot(DefaultBackupRoot(), to)},
        {StateDir + "registers/" + from, StateDir + "registers/" + to},
    };
    for (const auto& [old, now] : moves) {
        if (!Exists(old))
            continue;
        std::string source = old;
        if (SameName(from, to)) {
            source = old + ".rename";
            if (!RenameWithoutReplacing(old, source))
                return Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot rename %1 to %2"),
                               old, source);
        }
        if (!RenameWithoutReplacing(source, now))
            return Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot rename %1 to %2"),
                           source, now);
    }
    return {};
}

std::vector<std::string> SplitNames(const std::string& text) {
    std::vector<std::string> names;
    for (const QString& part : QString::fromUtf8(text).split(',')) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            names.push_back(name.toStdString());
    }
    return names;
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ",") + name;
    return text;
}

TRegisterList::TRegisterList(std::string dir) : dir_(std::move(dir)) {
    if (!dir_.empty() && dir_.back() != '/')
        dir_ += '/';
}

std::string TRegisterList::Load() {
    registers_.clear();
    DIR* folder = ::opendir(dir_.c_str());
    if (!folder)
        return errno == ENOENT
                   ? std::string()
                   : Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot read %1"), dir_);
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        const std::string path = dir_ + name + "/";
        // Hidden folders hold removed registers and ones being made.
        if (!NameProblem(name).empty() || !IsDirectory(path))
            continue;
        TRegister reg;
        reg.name = name;
        reg.folder = path;
        if (!Exists(reg.SettingsPath()) && !Exists(reg.InfoPath()))
            continue; // not a register's folder
        const IniFile info(reg.InfoPath());
        reg.groups = SplitNames(info.ReadString(Section, "Groups", ""));
        reg.identification = info.ReadString(Section, "Identification", "");
        reg.document = info.ReadString(Section, "Document", "");
        registers_.push_back(std::move(reg));
    }
    ::closedir(folder);
    std::sort(registers_.begin(), registers_.end(),
              [](const TRegister& a, const TRegister& b) { return NaturalLess(a.name, b.name); });
    return {};
}

const TRegister* TRegisterList::Find(const std::string& name) const {
    for (const TRegister& reg : registers_)
        if (SameName(reg.name, name))
            return &reg;
    return nullptr;
}

std::vector<std::string> TRegisterList::Groups() const {
    std::vector<std::string> groups;
    for (const TRegister& reg : registers_)
        for (const std::string& g : reg.groups)
            if (std::none_of(groups.begin(), groups.end(),
                             [&](const std::string& known) { return SameName(known, g); }))
                groups.push_back(g);
    std::sort(groups.begin(), groups.end());
    return groups;
}

std::string TRegisterList::NewNameProblem(const std::string& name,
                                          const std::string& except) const {
    if (std::string problem = NameProblem(name); !problem.empty())
        return "\"" + name + "\": " + problem;
    if (const TRegister* known = Find(name); known && !SameName(known->name, except))
        return "there is a register named \"" + known->name + "\" already";
    for (const std::string& group : Groups())
        if (SameName(group, name))
            return "\"" + group + "\" names a group already";
    return {};
}

std::string TRegisterList::MakeFolder(const std::string& name, const std::string& settingsBytes,
                                      const std::string& info) {
    if (!MakeDirectories(dir_, 0700))
        return Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot create the folder %1"),
                       dir_);
    // Made whole under a hidden name first: the list never shows half a register.
    std::string temp = dir_ + ".new-XXXXXX";
    if (!::mkdtemp(temp.data()))
        return Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot create a folder in %1"),
                       dir_);
    const std::string cfg = temp + "/" + RegisterSettingsName;
    const std::string infoPath = temp + "/" + RegisterInfoName;
    std::string problem;
    if (!WriteFileAtomically(cfg, settingsBytes))
        problem = Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot write %1"), cfg);
    else if (!WriteFileAtomically(infoPath, info))
        problem = Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot write %1"), infoPath);
    else if (!RenameWithoutReplacing(temp, dir_ + name))
        problem = Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot rename %1 to %2"), temp,
                          dir_ + name);
    if (!problem.empty()) {
        RemoveFolder(temp);
        return problem;
    }
    return Load();
}

std::string TRegisterList::Add(const TNewRegister& reg, const std::string& settings) {
    if (std::string problem = NewNameProblem(reg.name); !problem.empty())
        return problem;
    for (const std::string& group : reg.groups) {
        if (std::string problem = NameProblem(group); !problem.empty())
            return "group \"" + group + "\": " + problem;
        if (Find(group) || SameName(group, reg.name))
            return "\"" + group + "\" names a register, not a group";
    }
    const bool isPath = !reg.port.empty() && reg.port.front() == '/';
    const std::optional<int> com = ComNumber(reg.port);
    if (!reg.port.empty() && !isPath && !com)
        return "the port is COM1 to COM4 or a device path, not \"" + reg.port + "\"";
    if (reg.baudIndex && (*reg.baudIndex < 0 || *reg.baudIndex > 4))
        return "the rate is not one of the baud table";
    std::string bytes;
    if (!ReadBytes(settings, bytes))
        return Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot read %1"), settings);
    IniFile cfg = IniFile::FromText(bytes);
    int n = com.value_or(cfg.ReadInteger("Comm", "Port", 2));
    if (n < 1 || n > 4)
        n = 1;
    if (!reg.port.empty())
        cfg.WriteInteger("Comm", "Port", n);
    if (reg.baudIndex)
        cfg.WriteInteger("Comm", "BaudRate", *reg.baudIndex);
    if (isPath)
        cfg.WriteString("Ports", "COM" + std::to_string(n), reg.port);
    IniFile info = IniFile::FromText("");
    info.WriteString(Section, "Groups", JoinNames(reg.groups));
    return MakeFolder(reg.name, cfg.Text(), info.Text());
}

std::string TRegisterList::AddFromSettings(const std::string& name, const std::string& settings) {
    if (std::string problem = NewNameProblem(name); !problem.empty())
        return problem;
    std::string bytes;
    if (!ReadBytes(settings, bytes))
        return Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot read %1"), settings);
    IniFile info = IniFile::FromText("");
    info.WriteString(Section, "Groups", "");
    return MakeFolder(name, bytes, info.Text());
}

std::string TRegisterList::Remove(const std::string& name) {
    const TRegister* reg = Find(name);
    if (!reg)
        return "no register is named \"" + name + "\"";
    const std::string removed = dir_ + RemovedFolder + "/";
    if (!MakeDirectories(removed, 0700))
        return Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot create the folder %1"),
                       removed);
    const std::string stamp =
        QDateTime::currentDateTime().toString("yyyy-MM-dd_HH-mm-ss").toStdString();
    std::string target = removed + reg->name + "_" + stamp;
    for (int n = 2; Exists(target); ++n)
        target = removed + reg->name + "_" + stamp + "-" + std::to_string(n);
    std::string folder = reg->folder;
    folder.pop_back();
    if (!RenameWithoutReplacing(folder, target))
        return Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot move %1 to %2"), folder,
                       target);
    return Load();
}

std::string TRegisterList::Rename(const std::string& from, const std::string& to) {
    const TRegister* reg = Find(from);
    if (!reg)
        return "no register is named \"" + from + "\"";
    if (std::string problem = NewNameProblem(to, reg->name); !problem.empty())
        return problem;
    if (reg->name == to)
        return {};
    std::string folder = reg->folder;
    folder.pop_back();
    // A change of case alone goes through another name: a memory stick's file system holds
    // "Till" and "TILL" as one.
    if (SameName(reg->name, to)) {
        const std::string step = dir_ + ".rename-" + to;
        if (!RenameWithoutReplacing(folder, step))
            return Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot rename %1 to %2"),
                           folder, step);
        folder = step;
    }
    if (!RenameWithoutReplacing(folder, dir_ + to))
        return Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot rename %1 to %2"), folder,
                       dir_ + to);
    return Load();
}

std::string TRegisterList::WriteInfo(const std::string& name, const char* key,
                                     const std::string& value) {
    const TRegister* reg = Find(name);
    if (!reg)
        return "no register is named \"" + name + "\"";
    IniFile info(reg->InfoPath());
    info.WriteString(Section, key, value);
    if (!info.Save())
        return Failure(errno, QT_TRANSLATE_NOOP("TRegisterList", "Cannot write %1"),
                       reg->InfoPath());
    return Load();
}

std::string TRegisterList::SetGroups(const std::string& name,
                                     const std::vector<std::string>& groups) {
    for (const std::string& group : groups) {
        if (std::string problem = NameProblem(group); !problem.empty())
            return "group \"" + group + "\": " + problem;
        if (Find(group))
            return "\"" + group + "\" names a register, not a group";
    }
    return WriteInfo(name, "Groups", JoinNames(groups));
}

std::string TRegisterList::SetIdentification(const std::string& name,
                                             const std::string& identification) {
    const TRegister* reg = Find(name);
    if (reg && reg->identification == OneLine(identification))
        return {};
    return WriteInfo(name, "Identification", OneLine(identification));
}

std::string TRegisterList::SetDocument(const std::string& name, const std::string& path) {
    return WriteInfo(name, "Document", path);
}

std::vector<TRegister> TRegisterList::Select(const TRegisterSelection& selection,
                                             std::string* problem) const {
    std::vector<bool> chosen(registers_.size(), selection.all);
    auto chooseGroup = [&](const std::string& group) {
        bool any = false;
        for (size_t i = 0; i < registers_.size(); ++i)
            if (registers_[i].InGroup(group))
                chosen[i] = any = true;
        return any;
    };
    std::string why;
    for (const std::string& name : selection.names) {
        const TRegister* reg = Find(name);
        if (reg)
            chosen[size_t(reg - registers_.data())] = true;
        else if (!chooseGroup(name) && why.empty())
            why = "no register or group is named \"" + name + "\"";
    }
    if (!selection.group.empty() && !chooseGroup(selection.group) && why.empty())
        why = "no register is in the group \"" + selection.group + "\"";
    if (registers_.empty() && why.empty() && selection.Any())
        why = "the register list is empty";
    if (problem)
        *problem = why;
    std::vector<TRegister> result;
    if (!why.empty())
        return result;
    for (size_t i = 0; i < registers_.size(); ++i)
        if (chosen[i])
            result.push_back(registers_[i]);
    return result;
}
