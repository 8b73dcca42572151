// Feeds arbitrary bytes to the INI reader and checks what callers rely on: parsing never
// crashes, an untouched file comes back byte for byte, a written key reads back as written and
// never creates or changes another key.
#include "Ini.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    IniFile ini = IniFile::FromText(text);
    Check(ini.Text() == text);

    // The value to write comes from the input too, so it carries its quotes, spaces and breaks.
    const std::string value = text.substr(0, std::min<size_t>(text.size(), 40));
    const std::string otherBefore = ini.ReadString("Default", "VAT1", "\x01missing");
    const int portBefore = ini.ReadInteger("Comm", "Port", -12345);
    (void)ini.ReadBool("Default", "Flag00", false);

    ini.WriteString("Default", "Header1", value);
    std::string expected = value;
    for (char& c : expected)
        if (c == '\r' || c == '\n')
            c = ' ';
    Check(ini.ReadString("Default", "Header1", "\x01missing") == expected);

    IniFile reread = IniFile::FromText(ini.Text());
    Check(reread.ReadString("Default", "Header1", "\x01missing") == expected);
    Check(reread.ReadString("Default", "VAT1", "\x01missing") == otherBefore);
    Check(reread.ReadInteger("Comm", "Port", -12345) == portBefore);

    reread.WriteInteger("Comm", "Port", 3);
    Check(reread.ReadInteger("Comm", "Port", 0) == 3);
    Check(IniFile::FromText(reread.Text()).ReadString("Default", "Header1", "") == expected);
    return 0;
}
