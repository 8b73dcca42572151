// A language file as any bytes: loading its tables never crashes and every text it replaces
// reads back from the file as the tables hold it.
#include "Defs.h"
#include "DisplayTexts.h"
#include "FuzzFiles.h"
#include "Ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path =
        PutFuzzFile("QUORVE.LNG", std::string_view(reinterpret_cast<const char*>(data), size));
    const IniFile ini(path);
    FuzzCheck(ini.Readable(), "a regular file read as unreadable");
    LoadDisplayTables(ini);
    for (size_t i = 0; i < PLUTitles.size(); ++i)
        FuzzCheck(PLUTitles[i] == ini.ReadString("PLU Titles", std::to_string(i), PLUTitles[i]),
                  "PLU title differs from the file");
    FuzzCheck(TransferWords[0] == ini.ReadString("String", "Connect", TransferWords[0]),
              "step word differs from the file");
    return 0;
}
