#pragma once
// What the file-reading fuzz targets share: a scratch folder of their own (in memory when the
// machine has /dev/shm) and the input cut into the parts of a multi-file input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The folder, made once per process; ends with '/'.
const std::string& FuzzDir();
// Writes bytes to FuzzDir() + name and gives the whole path back; aborts when it cannot.
std::string PutFuzzFile(const std::string& name, std::string_view bytes);
// The input cut at every "\n--\n" into at most `parts` parts (the last takes the rest).
std::vector<std::string_view> FuzzParts(const uint8_t* data, size_t size, size_t parts);
// Stops the run: a fuzz target's check failed.
[[noreturn]] void FuzzFail(const char* what);
inline void FuzzCheck(bool condition, const char* what) {
    if (!condition)
        FuzzFail(what);
}
