#pragma once
// The commands of quorve-plu-cli: each one runs the engine's flow the window program runs for
// the same command, and returns the exit code.

#include "CommandLine.h"
#include "Output.h"

struct TFilePlaces;

int RunCommand(const TCommandLine& line, const TOutput& output);
// --paths: the folders and files the program uses, one per line (or one JSON object).
int ShowPaths(const TFilePlaces& places, const TOutput& output);
