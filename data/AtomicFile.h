#pragma once
#include <string>
#include <string_view>

// Writes the bytes to a temporary file in the same directory and renames it over the path, so
// a full disk or a crash leaves the previous file whole. On failure returns false with errno
// set and the old file untouched.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);
