#pragma once
// Stress and soak tests run a short version in CI and the full one when QPLU_LONG_STRESS=1.
#include <cstdlib>
#include <cstring>
#include <dirent.h>

inline int StressCycles(int ci, int full) {
    const char* value = std::getenv("QPLU_LONG_STRESS");
    return value != nullptr && std::strcmp(value, "1") == 0 ? full : ci;
}

// The process's open file descriptors (the listing's own and . and .. included), to see none
// left over after a run.
inline int OpenDescriptors() {
    int count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir) != nullptr)
            ++count;
        ::closedir(dir);
    }
    return count;
}
