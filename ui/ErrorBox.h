#pragma once
// The error boxes the engine's failures become in the window program.

#include <functional>
#include <string>
#include <vector>

class ECommsError;
class QString;
class QWidget;
struct TFlowOutcome;
class TTolvIBusComm;

// A port that could not be opened: "Error opening COMn!" and "please select other ports.", and
// beside them why devicePath would not open and what to do about it.
void ShowCommErrorBox(const std::string& text, const ECommsError& error,
                      const std::string& devicePath);

// The error box hook of a protocol component: the failure told with the device its port name
// opens.
std::function<void(const std::string&, const ECommsError&)>
CommErrorBoxFor(const TTolvIBusComm& bus);

// An adapter that holds received bytes back (LatencyHint's lines): a box that does not wait, so
// the exchange that opened the port goes on.
void ShowLatencyNotice(QWidget* parent, const std::vector<std::string>& lines);

// SYSTEM.CFG could not be written: the file error's text, with the path and the system's reason
// beside it.
void ShowSystemCfgWriteError(QWidget* parent, int error);

// Why a comparison, backup or restore did not end well, for a window: the register's step, the
// file's reason, or that the port did not open (its box has been shown).
QString OutcomeText(const TFlowOutcome& outcome);
