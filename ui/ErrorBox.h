#pragma once
// The error boxes the engine's failures become in the window program.

#include <string>

class ECommsError;
class QString;
class QWidget;
struct TFlowOutcome;

// A port that could not be opened: "Error opening COMn!" and "please select other ports.".
void ShowCommErrorBox(const std::string& text, const ECommsError& error);

// SYSTEM.CFG could not be written: the file error's text, with the path and the system's reason
// beside it.
void ShowSystemCfgWriteError(QWidget* parent, int error);

// Why a comparison, backup or restore did not end well, for a window: the register's step, the
// file's reason, or that the port did not open (its box has been shown).
QString OutcomeText(const TFlowOutcome& outcome);
