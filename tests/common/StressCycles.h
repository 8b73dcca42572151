#pragma once
// Stress and soak tests run a short version in CI and the full one when QPLU_LONG_STRESS=1.
#include <cstdlib>
#include <cstring>

inline int StressCycles(int ci, int full) {
    const char* value = std::getenv("QPLU_LONG_STRESS");
    return value != nullptr && std::strcmp(value, "1") == 0 ? full : ci;
}
