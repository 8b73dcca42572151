#pragma once
// A C file closed on every way out of the flow that reads or writes it.

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using FilePtr = std::unique_ptr<FILE, int (*)(FILE*)>;

inline FilePtr OpenFile(const std::string& path, const char* mode) {
    return FilePtr(std::fopen(path.c_str(), mode), &std::fclose);
}

// Regular files only: a directory opens for reading too and only fails on the first read, and
// a FIFO's open waits for a writer, so it is opened without waiting and refused.
inline FilePtr OpenForReading(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return FilePtr(nullptr, &std::fclose);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        errno = error;
        return FilePtr(nullptr, &std::fclose);
    }
    // Reads of a regular file never wait; the flag only mattered for the open.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr)
        ::close(fd);
    return FilePtr(file, &std::fclose);
}
