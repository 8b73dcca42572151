#pragma once
// The commands of quorve-plu-cli: each one runs the engine's flow the window program runs for
// the same command, and returns the exit code.

#include "CommandLine.h"
#include "Output.h"

int RunCommand(const TCommandLine& line, const TOutput& output);
