// A spreadsheet file as any bytes, read with the dialect found and with one the input picks,
// mapped and imported into one of the tables: never a crash, fields and records within their
// bounds, and an import either fills its table or says why not.
#include "Document.h"
#include "FuzzFiles.h"
#include "SheetImport.h"
#include "SheetText.h"

namespace {

void CheckBounds(const SheetText& sheet) {
    FuzzCheck(sheet.Records() <= size_t(MaxSheetRows) + 2, "records beyond the bound");
    for (size_t r = 0; r < sheet.Records(); ++r) {
        FuzzCheck(sheet.Fields(r) <= MaxSheetColumns, "fields beyond the bound");
        for (int f = 0; f < sheet.Fields(r); ++f)
            FuzzCheck(sheet.Field(r, f).size() <= MaxSheetFieldChars, "field beyond the bound");
    }
}

struct Tables {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    Tables() { InitialRecyTable(recy); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    static const Tables tables;
    const uint8_t pick = data[0];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    const SheetFile file = LoadSheetFile(PutFuzzFile("SHEET.CSV", bytes));
    FuzzCheck(file.error.isEmpty() && file.bytes == bytes, "a regular file not read whole");
    const SheetText found = ReadSheet(file.bytes);
    CheckBounds(found);

    SheetDialect dialect;
    dialect.encoding = SheetEncoding(pick % 4);
    dialect.separator = ",;\t"[(pick >> 2) % 3];
    dialect.decimal = (pick & 0x10) ? ',' : '.';
    const SheetText given = ReadSheet(bytes, dialect);
    CheckBounds(given);

    const SheetText& sheet = (pick & 0x20) ? given : found;
    // A PLU import costs a whole 30000-row table, so only one input in sixteen takes it.
    const SheetTable table = (pick & 0xF0) == 0xF0 ? SheetTable::PLU
                             : (pick & 0x40)       ? SheetTable::Recycling
                                                   : SheetTable::Department;
    const ColumnMap map = MapColumns(sheet, table);
    ImportOptions options;
    options.mode = (pick & 0x80) ? ImportMode::Update : ImportMode::Replace;
    options.by = (table == SheetTable::PLU && (pick & 0x08)) ? MatchBy::Barcode : MatchBy::Number;
    if (!map.problems.empty())
        return 0;
    const ImportResult result =
        ImportSheet(sheet, map, options, tables.plu, tables.dept, tables.recy);
    FuzzCheck(result.problems.size() <= MaxSheetProblems + 1, "problems beyond the bound");
    const bool filled =
        result.plu.has_value() || result.dept.has_value() || result.recy.has_value();
    FuzzCheck(result.Ok() == filled, "an import neither filled a table nor said why");
    return 0;
}
