#pragma once
// The process-wide settings values and where SYSTEM.CFG lives.

#include <string>
#include <vector>

struct TFilePlaces;

extern std::string ProgramDir;  // the program's directory, with a trailing separator
extern std::string SettingsDir; // SYSTEM.CFG and the language file (FilePlaces.h)
extern std::string StateDir;    // DEBUG.LOG, TEMP.BIN and TEMP.LOG
extern int PortNumber;          // 0 = no port, n = "COM" n
extern int BaudIndex;           // index into the baud table, 0 to 4
extern std::string CompanyText; // [Version] CompanyName
extern int FirstProgramBlock;   // [Address] Update

// The program directory, with everything beside it (a copy run from its folder, the tests).
void SetProgramDir(const std::string& directory);
void SetFilePlaces(const TFilePlaces& places);
// SettingsDir + SYSTEM.CFG, unless another file was chosen (the command line's --config).
std::string SystemCfgPath();
void SetSystemCfgPath(const std::string& path); // empty: back to the settings directory's

// At program start, before any window exists.
void ReadStartSettings();
// When the main window is created and whenever the settings dialog opens.
void ReadCommSettings();

// A COM name's device as [Ports] keeps it: COMn = path.
struct PortMapping {
    int portNumber = 0; // 1 to 4
    std::string devicePath;
};

// [Comm] Port and BaudRate, and the devices chosen for COM names, in one write (the settings
// dialog's OK); the port alone is what the port detection stores, or the port with the device a
// register answered on. False (errno set) when SYSTEM.CFG could not be written.
bool WriteCommSettings(int portNumber, int baudIndex,
                       const std::vector<PortMapping>& mappings = {});
bool WriteCommPort(int portNumber);
bool WriteCommPort(int portNumber, const std::string& devicePath);

// The device a port name opens: [Ports] COMn, by default /dev/ttyS(n-1); a path (starting with
// "/") is the device itself. Empty when the name names no device (COM0, or anything that is
// not COM1 to COM4 without a mapping).
std::string PortDevicePath(const std::string& commName);
// The same as another settings file of SYSTEM.CFG's form maps it (a register of the list).
std::string PortDevicePathIn(const std::string& cfgPath, const std::string& commName);

// [Locale] CodePage, by default CP1250.
std::string ConfiguredCodePage();
