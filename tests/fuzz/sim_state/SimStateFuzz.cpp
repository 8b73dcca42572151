// The simulator's state file as any bytes: loading never crashes, and a state that loads is
// written and loaded back to the same text.
#include "FuzzFiles.h"
#include "RegisterState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path =
        PutFuzzFile("STATE.TXT", std::string_view(reinterpret_cast<const char*>(data), size));
    TRegisterState state;
    std::string error;
    if (!state.Load(path, &error)) {
        FuzzCheck(!error.empty(), "refused without a reason");
        return 0;
    }
    const std::string text = state.Text();
    TRegisterState again;
    FuzzCheck(again.ParseText(text, &error), "its own text refused");
    FuzzCheck(again.Text() == text, "text changed on the way back");
    return 0;
}
