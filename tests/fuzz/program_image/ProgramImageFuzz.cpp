// A program image as any bytes: the checks take its size, and for a valid one the begin word
// at size - 4 and the 16-bit byte sum, whatever the bytes.
#include "FuzzFiles.h"
#include "ProgramLoad.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path =
        PutFuzzFile("IMAGE.BIN", std::string_view(reinterpret_cast<const char*>(data), size));
    ProgramImageInfo info;
    std::string error;
    FuzzCheck(ReadProgramImageInfo(path, info, error), "a regular file failed");
    FuzzCheck(info.size == int64_t(size), "wrong size");
    if (size % 256 == 0 && size >= 4) {
        uint32_t sum = 0;
        for (size_t i = 0; i < size; ++i)
            sum += data[i];
        FuzzCheck(info.checksum == uint16_t(sum), "wrong checksum");
        FuzzCheck(info.beginWord == uint16_t(data[size - 4] | data[size - 3] << 8),
                  "wrong begin word");
    }
    return 0;
}
