#include "Settings.h"

#include "FilePlaces.h"
#include "Ini.h"

std::string ProgramDir = "./";
std::string SettingsDir = "./";
std::string StateDir = "./";
int PortNumber = 2;
int BaudIndex = 0;
std::string CompanyText;
int FirstProgramBlock = 16;

namespace {

std::string chosenSystemCfg;

void WritePorts(IniFile& cfg, const std::vector<PortMapping>& mappings) {
    for (const PortMapping& m : mappings)
        cfg.WriteString("Ports", "COM" + std::to_string(m.portNumber), m.devicePath);
}

} // namespace

bool WriteCommSettings(int portNumber, int baudIndex, const std::vector<PortMapping>& mappings) {
    IniFile cfg(SystemCfgPath());
    cfg.WriteInteger("Comm", "Port", portNumber);
    cfg.WriteInteger("Comm", "BaudRate", baudIndex);
    WritePorts(cfg, mappings);
    return cfg.Save();
}

bool WriteCommPort(int portNumber) {
    return IniWriteInteger(SystemCfgPath(), "Comm", "Port", portNumber);
}

bool WriteCommPort(int portNumber, const std::string& devicePath) {
    IniFile cfg(SystemCfgPath());
    cfg.WriteInteger("Comm", "Port", portNumber);
    WritePorts(cfg, {{portNumber, devicePath}});
    return cfg.Save();
}

void SetProgramDir(const std::string& directory) {
    ProgramDir = directory;
    if (ProgramDir.empty() || ProgramDir.back() != '/')
        ProgramDir += '/';
    SettingsDir = StateDir = ProgramDir;
}

void SetFilePlaces(const TFilePlaces& places) {
    ProgramDir = places.programDir;
    SettingsDir = places.settingsDir;
    StateDir = places.stateDir;
}

std::string SystemCfgPath() {
    return chosenSystemCfg.empty() ? SettingsDir + "SYSTEM.CFG" : chosenSystemCfg;
}

void SetSystemCfgPath(const std::string& path) {
    chosenSystemCfg = path;
}

void ReadStartSettings() {
    IniFile cfg(SystemCfgPath());
    CompanyText = cfg.ReadString("Version", "CompanyName", "");
    // Block numbers index the image and travel as a 16-bit packet parameter.
    FirstProgramBlock = cfg.ReadInteger("Address", "Update", 16);
    if (FirstProgramBlock < 0 || FirstProgramBlock > 0xFFFF)
        FirstProgramBlock = 16;
}

void ReadCommSettings() {
    IniFile cfg(SystemCfgPath());
    // Out-of-range values would name no port item and no baud rate; they read as the defaults.
    PortNumber = cfg.ReadInteger("Comm", "Port", 2);
    if (PortNumber < 0 || PortNumber > 4)
        PortNumber = 2;
    BaudIndex = cfg.ReadInteger("Comm", "BaudRate", 0);
    if (BaudIndex < 0 || BaudIndex > 4)
        BaudIndex = 0;
}

std::string PortDevicePath(const std::string& commName) {
    return PortDevicePathIn(SystemCfgPath(), commName);
}

std::string PortDevicePathIn(const std::string& cfgPath, const std::string& commName) {
    if (!commName.empty() && commName.front() == '/')
        return commName;
    std::string defaultPath;
    if (commName.size() == 4 && commName.compare(0, 3, "COM") == 0 && commName[3] >= '1' &&
        commName[3] <= '4')
        defaultPath = "/dev/ttyS" + std::to_string(commName[3] - '1');
    if (commName == "COM0" || commName.compare(0, 3, "COM") != 0)
        return {};
    return IniReadString(cfgPath, "Ports", commName, defaultPath);
}

std::string ConfiguredCodePage() {
    return IniReadString(SystemCfgPath(), "Locale", "CodePage", "CP1250");
}
