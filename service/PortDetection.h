#pragma once
// Port detection: COM1 to COM4 are tried in turn until a register answers, and the user may
// keep the port found as the configured one.

#include <functional>
#include <string>

class TTolvIBusComm;

inline constexpr char TestingText[] = "Testing...";
inline constexpr char FoundText[] = "Tolv found!";
inline constexpr char NotFoundText[] = "No tolv found.";
inline constexpr char ApplyPortQuestion[] = "Port found! Do you want to apply it?";

struct TDetectHooks {
    std::function<void(int port, const std::string& text)> SetOutcome;
    // False once the user closed the dialog; the search then stops.
    std::function<bool()> StillShown;
    // Asked when a register answered; true to keep the port.
    std::function<bool()> AskApply;
};

// Tries the ports on bus (its CommName only is changed; the rate stays the component's own).
// Returns the port a register answered on, 0 when none did or the search was stopped.
int DetectPorts(TTolvIBusComm& bus, const TDetectHooks& hooks);

// Makes port n the configured one and stores it in SYSTEM.CFG. False (errno set) when the file
// could not be written.
bool ApplyDetectedPort(int n);
