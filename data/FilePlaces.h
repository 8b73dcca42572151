#pragma once
// Where the program's own files live. A copy run from its build or an unpacked folder keeps
// SYSTEM.CFG, the language file, DEBUG.LOG and the dumps beside the executable. An installed
// copy (its share folder beside its bin folder, or a folder it may not write) keeps the settings
// and the language file in the XDG config home and the logs and dumps in the XDG state home,
// both under "quorve-plu". Both programs and the training register follow the same rule.

#include <string>

// The facts the rule looks at: what the system says (Current) or what a test sets.
struct TPlaceFacts {
    std::string home;       // $HOME, or the account's home directory when it is unset
    std::string configHome; // $XDG_CONFIG_HOME as set; empty or relative means unset
    std::string stateHome;  // $XDG_STATE_HOME, the same
    bool programDirWritable = true;
    bool shareDirPresent = false; // the installed share folder beside the bin folder

    static TPlaceFacts Current(const std::string& programDir);
};

// Every directory ends with '/'.
struct TFilePlaces {
    std::string programDir;  // the executable's directory
    std::string settingsDir; // SYSTEM.CFG, the language file
    std::string stateDir;    // DEBUG.LOG, TEMP.BIN, TEMP.LOG
    std::string shareDir;    // installed: the default SYSTEM.CFG and the guide; empty beside
    std::string guideFile;   // the user guide's first page
    bool installed = false;
};

// The installed share folder as seen from a program directory.
std::string ShareDirOf(const std::string& programDir);

TFilePlaces FindFilePlaces(const std::string& programDir, const TPlaceFacts& facts);
// FindFilePlaces with the system's facts.
TFilePlaces FindFilePlaces(const std::string& programDir);

// Creates the settings and state directories of an installed copy (mode 0700, as XDG asks) and
// copies the share folder's SYSTEM.CFG on first start. Empty when all is well, otherwise what
// went wrong, with the path and the system's reason; the program still runs, and a file that
// cannot be written later reports its own error.
std::string PrepareFilePlaces(const TFilePlaces& places);
