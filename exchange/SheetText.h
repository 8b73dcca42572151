#pragma once
// Spreadsheet text files (CSV and TSV as Excel, Calc and shop systems write them): the encoding
// and dialect found from the bytes, and the text split into records of fields (RFC 4180 quoting).
// Everything is bounded, so a damaged or hostile file costs at most a few times its capped size.

#include <QString>

#include <string>
#include <string_view>
#include <vector>

enum class SheetEncoding { Utf8, Utf16LE, Utf16BE, CodePage };

// How a file is written. Reading finds it (ReadSheet) and the user may change it and read again.
struct SheetDialect {
    SheetEncoding encoding = SheetEncoding::Utf8;
    bool bom = false;     // reading: the file starts with one; writing: put one first
    char separator = ','; // ';', ',' or '\t'
    char decimal = '.';   // '.' or ','
    bool crlf = true;     // writing only: reading takes CR LF, LF and a lone CR alike
    bool operator==(const SheetDialect&) const = default;
};
// How a file was read, for the user: UTF-8 with BOM, semicolon between fields, decimal comma
QString DialectText(const SheetDialect& dialect);
QString EncodingText(const SheetDialect& dialect);
QString SeparatorText(char separator);

// One thing wrong with a file; the list of them is what the user sees and can copy.
struct SheetProblem {
    int line = 0;   // 1-based line of the file; 0 for the file as a whole
    QString column; // the column's title; empty when no single column is meant
    QString value;  // the field as the file holds it
    QString reason;
};
// One line of that list: line 4, Unit price "abc": not a number
QString ProblemText(const SheetProblem& problem);

// A file split into records of fields. The fields' characters share one buffer, so a 30000-row
// file costs a few allocations rather than one for each field.
class SheetText {
public:
    SheetDialect dialect;               // as found, or as given
    std::vector<SheetProblem> problems; // the file cannot be read as it stands

    // Records that hold anything: blank lines and lines of empty fields are left out.
    size_t Records() const { return records_.size(); }
    // Where the record starts: quoted line breaks make a record span lines.
    int Line(size_t record) const { return records_[record].line; }
    // Its place among all records, blank ones included, from 0: rows numbered by their place
    // keep it across blank lines.
    int Position(size_t record) const { return records_[record].position; }
    int Fields(size_t record) const { return records_[record].fields; }
    // Empty beyond the record's last field. Valid while the SheetText lives unchanged.
    QStringView Field(size_t record, int field) const;

private:
    friend class SheetSplitter;
    struct Span {
        qsizetype start = 0;
        qsizetype size = 0;
    };
    struct Record {
        int line = 0;
        int position = 0;
        int fields = 0;
        size_t firstField = 0;
    };
    QString chars_;
    std::vector<Span> fields_;
    std::vector<Record> records_;
};

// No table takes more rows than this, so reading stops after one more (a header).
inline constexpr int MaxSheetRows = 30000;
inline constexpr size_t MaxSheetFileBytes = size_t(32) << 20;
// Fields beyond these are dropped: far beyond any cell or column the tables have.
inline constexpr int MaxSheetColumns = 128;
inline constexpr int MaxSheetFieldChars = 256;

// Finds the encoding (BOM, else UTF-8, else the document's code page), the separator and the
// decimal separator. Text that holds UTF-8 letters beside bytes that are no UTF-8 is a problem,
// not a code page file: either reading would turn some letters into others.
SheetText ReadSheet(std::string_view bytes);
// Reads with the dialect as given; a BOM of its encoding is skipped.
SheetText ReadSheet(std::string_view bytes, const SheetDialect& dialect);

struct SheetFile {
    std::string bytes;
    QString error; // empty when read
};
// The whole file, refused beyond MaxSheetFileBytes.
SheetFile LoadSheetFile(const std::string& path);
