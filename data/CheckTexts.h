#pragma once
// The reasons and repeat messages of the cell checks, as people read them in the installed
// language. The checks themselves speak English, which the command line's check lines keep.

#include <QString>

#include <string>

QString CheckReasonText(const std::string& reason);
