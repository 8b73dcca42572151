#pragma once
// The shop's registers. Each one is a folder under the settings folder's "registers", named as
// the register is named, holding its own SYSTEM.CFG (port, rate and parameters, in the form the
// one settings file has for a single register) and REGISTER.CFG (its groups, the identification
// it last answered with, its own document). Nothing else describes the list, so a list copied to
// another PC, or one register's folder copied into another list, is the same there.
//
// With no folder in it the list is empty and the program works with SYSTEM.CFG alone, as it
// always has.

#include <optional>
#include <string>
#include <vector>

inline constexpr char RegisterSettingsName[] = "SYSTEM.CFG";
inline constexpr char RegisterInfoName[] = "REGISTER.CFG";

struct TRegister {
    std::string name;
    std::string folder; // ends with '/'
    std::vector<std::string> groups;
    std::string identification; // code-page bytes, as the register last answered
    std::string document;       // its own document; empty when it has none

    std::string SettingsPath() const { return folder + RegisterSettingsName; }
    std::string InfoPath() const { return folder + RegisterInfoName; }
    bool InGroup(const std::string& group) const;
};

// Where a register is, as its own settings file says.
struct TRegisterPort {
    std::string name;   // "COM1" to "COM4"; "COM0" when it has none
    std::string device; // the device that name opens; empty for none
    int baudIndex = 0;
};
TRegisterPort PortOf(const TRegister& reg);
// The device as the kernel knows it (links followed), so two names of one adapter are one port.
std::string PortKey(const TRegisterPort& port);

// The settings folder's "registers/".
std::string DefaultRegistersDir();

// Why a text cannot name a register or a group (it becomes a folder's name, also on a memory
// stick's file system, and a word of the command line); empty when it can.
std::string NameProblem(const std::string& name);

// What a command line or a dialog chose: register (or group) names, one group, or all.
struct TRegisterSelection {
    std::vector<std::string> names;
    std::string group;
    bool all = false;
    bool Any() const { return all || !names.empty() || !group.empty(); }
};

// A new register's port: "COM1" to "COM4", or a device path, which its own settings file maps to
// the COM name they configure; empty keeps the port of the settings it starts from.
struct TNewRegister {
    std::string name;
    std::string port;
    std::optional<int> baudIndex;
    std::vector<std::string> groups;
};

class TRegisterList {
public:
    explicit TRegisterList(std::string dir = DefaultRegistersDir());

    const std::string& Dir() const { return dir_; }
    // Reads the folders again. Empty when read (a missing folder is an empty list), else why not.
    std::string Load();
    const std::vector<TRegister>& Registers() const { return registers_; }
    bool Empty() const { return registers_.empty(); }
    // By name, regardless of case.
    const TRegister* Find(const std::string& name) const;
    // Every group some register is in, sorted.
    std::vector<std::string> Groups() const;

    // Each returns an empty text when done (and the list read again), else what went wrong.
    // A new register's SYSTEM.CFG starts as a copy of `settings` (today's, or the chosen
    // register's) with its own port and rate.
    std::string Add(const TNewRegister& reg, const std::string& settings);
    // The register used until now: today's settings file as it is, under a name.
    std::string AddFromSettings(const std::string& name, const std::string& settings);
    // The folder moves to "registers/.removed/", so its parameters can still be found.
    std::string Remove(const std::string& name);
    std::string Rename(const std::string& from, const std::string& to);
    std::string SetGroups(const std::string& name, const std::vector<std::string>& groups);
    std::string SetIdentification(const std::string& name, const std::string& identification);
    std::string SetDocument(const std::string& name, const std::string& path);

    // The registers chosen, in the list's order and each once; a name that is neither a
    // register nor a group is the problem.
    std::vector<TRegister> Select(const TRegisterSelection& selection, std::string* problem) const;

private:
    std::string NewNameProblem(const std::string& name, const std::string& except = {}) const;
    std::string WriteInfo(const std::string& name, const char* key, const std::string& value);
    std::string MakeFolder(const std::string& name, const std::string& settingsBytes,
                           const std::string& info);

    std::string dir_;
    std::vector<TRegister> registers_;
};

// Where the program keeps a register's own files outside its folder: its backups under the
// backup root, its DEBUG.LOG under the state folder.
std::string RegisterBackupRoot(const std::string& root, const std::string& name);
std::string RegisterTraceDir(const std::string& name);
// A renamed register's backups and trace go along with it; empty when they did (or there were
// none), else what could not be moved.
std::string MoveRegisterFiles(const std::string& from, const std::string& to);

// "Front,Back" and back; blanks around names are dropped.
std::vector<std::string> SplitNames(const std::string& text);
std::string JoinNames(const std::vector<std::string>& names);
