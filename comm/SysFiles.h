#pragma once
// The kernel's small text files and folders (sysfs, /proc) change under the reader: a device is
// unplugged, a process ends. A read that fails reads as nothing, never as an exception.

#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>

namespace sysfiles {

// The first line, without its newline and trailing blanks.
inline std::string FirstLine(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    return line;
}

template <typename Visit> void ForEachEntry(const std::filesystem::path& dir, Visit visit) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        visit(*it);
}

} // namespace sysfiles
