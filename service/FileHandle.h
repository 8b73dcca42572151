#pragma once
// A C file closed on every way out of the flow that reads or writes it.

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <sys/stat.h>

using FilePtr = std::unique_ptr<FILE, int (*)(FILE*)>;

inline FilePtr OpenFile(const std::string& path, const char* mode) {
    return FilePtr(std::fopen(path.c_str(), mode), &std::fclose);
}

// A directory opens for reading too, and only fails on the first read.
inline FilePtr OpenForReading(const std::string& path) {
    FilePtr file = OpenFile(path, "rb");
    struct stat info {};
    if (file && fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        return FilePtr(nullptr, &std::fclose);
    }
    return file;
}
