#pragma once
// The columns a user assigned by hand in the import, remembered per header line, so that the
// next file with the same header is read the same way. A small JSON file of its own in the
// settings folder; SYSTEM.CFG is the register's and stays as it is.

#include "SheetImport.h"

#include <optional>
#include <string>

struct RememberedColumns {
    SheetTable table = SheetTable::PLU;
    ColumnChoice feeds; // for each column of the header line
    bool operator==(const RememberedColumns&) const = default;
};

class SheetColumnMemory {
public:
    static constexpr const char* FileName = "import-columns.json";
    static constexpr size_t MaxHeaders = 100;

    explicit SheetColumnMemory(std::string path) : path_(std::move(path)) {}

    // What was chosen for files whose first line is this sheet's first record, compared as
    // header names are (without case or accents). A missing or damaged file remembers nothing.
    std::optional<RememberedColumns> Find(const SheetText& sheet) const;
    // Keeps the choice for the sheet's first record, newest first, or forgets it (nullopt).
    // Written at once, whole or not at all: empty when written, otherwise why not.
    QString Remember(const SheetText& sheet, const std::optional<RememberedColumns>& columns);

private:
    std::string path_;
};
