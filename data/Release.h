#pragma once
// The program's release: the project's version and, for a build from a checkout, what
// `git describe` said of it, as in "4.0.0 (git 1c07b99)". Only the programs link it, so a new
// commit relinks two files and not every test.

#include <string>

std::string ReleaseText();
