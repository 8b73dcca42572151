#pragma once
// One of the document's tables as a spreadsheet file: a header row of the grid's titles, then
// each row that holds something under its number, so the file imports back to the same table.

#include "DocumentFile.h"
#include "SheetImport.h"
#include "SheetText.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The dialects offered by name, all UTF-8 with a BOM (Excel reads UTF-8 only after one):
//   excel  ';' and decimal comma where the locale's decimal separator is a comma, ',' and point
//          otherwise; CR LF
//   calc   ',' and the locale's decimal separator (such numbers are quoted); LF
//   tsv    TAB and the locale's decimal separator; LF
// The caller may switch the encoding to the document's code page.
std::optional<SheetDialect> ExportDialect(std::string_view name);
SheetDialect DefaultExportDialect(); // excel

// The rows ExportSheet writes below its header.
int ExportRowCount(SheetTable table, const TextTable& plu, const TextTable& dept);

std::string ExportSheet(SheetTable table, const TextTable& plu, const TextTable& dept,
                        const RecyTable& recy, const SheetDialect& dialect);
// Written atomically: on failure the old file stays whole. 0 when written.
FileError ExportSheetFile(const std::string& path, SheetTable table, const TextTable& plu,
                          const TextTable& dept, const RecyTable& recy,
                          const SheetDialect& dialect);

// Rows of Unicode fields in the dialect (its encoding, BOM, separator and line ends), quoted as
// ExportSheet quotes; for tables that are not the document's, such as sales.
std::string SheetRowsText(const std::vector<std::vector<QString>>& rows,
                          const SheetDialect& dialect);
