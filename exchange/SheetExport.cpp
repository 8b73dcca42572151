#include "SheetExport.h"

#include "AtomicFile.h"
#include "CodePage.h"

#include <QStringEncoder>

#include <algorithm>
#include <cerrno>

namespace {

class RowWriter {
public:
    explicit RowWriter(const SheetDialect& dialect) : dialect_(dialect) {}

    // Quoted only when it holds the separator, a quote or a line break, as Excel and Calc do.
    void Field(std::string_view text) {
        if (!atLineStart_)
            out_ += dialect_.separator;
        atLineStart_ = false;
        if (text.find_first_of(std::string{dialect_.separator, '"', '\r', '\n'}) ==
            std::string_view::npos) {
            out_ += text;
        } else {
            out_ += '"';
            for (char c : text) {
                out_ += c;
                if (c == '"')
                    out_ += '"';
            }
            out_ += '"';
        }
    }
    void EndLine() {
        out_ += dialect_.crlf ? "\r\n" : "\n";
        atLineStart_ = true;
    }
    std::string& Bytes() { return out_; }

private:
    const SheetDialect& dialect_;
    std::string out_;
    bool atLineStart_ = true;
};

} // namespace

std::optional<SheetDialect> ExportDialect(std::string_view name) {
    SheetDialect dialect;
    dialect.encoding = SheetEncoding::Utf8;
    dialect.bom = true;
    dialect.decimal = DecimalSeparator();
    if (name == "excel") {
        dialect.separator = DecimalSeparator() == ',' ? ';' : ',';
        dialect.crlf = true;
    } else if (name == "calc") {
        dialect.separator = ',';
        dialect.crlf = false;
    } else if (name == "tsv") {
        dialect.separator = '\t';
        dialect.crlf = false;
    } else {
        return std::nullopt;
    }
    return dialect;
}

SheetDialect DefaultExportDialect() {
    return *ExportDialect("excel");
}

int ExportRowCount(SheetTable table, const TextTable& plu, const TextTable& dept) {
    if (table == SheetTable::Recycling)
        return RecyEntryCount;
    const TextTable& rows = table == SheetTable::PLU ? plu : dept;
    int count = 0;
    for (int r = 1; r <= rows.Rows(); ++r)
        count += rows.RowIsDefault(r) ? 0 : 1;
    return count;
}

std::string ExportSheet(SheetTable table, const TextTable& plu, const TextTable& dept,
                        const RecyTable& recy, const SheetDialect& dialect) {
    const int cols = SheetColumns(table);
    const CodePage& codePage = DocumentCodePage();
    RowWriter writer(dialect);
    // Numbers take the dialect's decimal separator before quoting: "2,50" under ','.
    std::string converted;
    auto cell = [&](const std::string& text, int col) {
        if (ColumnKind(table, col) != SheetColumnKind::Number ||
            dialect.decimal == DecimalSeparator()) {
            writer.Field(text);
            return;
        }
        converted = text;
        std::replace(converted.begin(), converted.end(), DecimalSeparator(), dialect.decimal);
        writer.Field(converted);
    };
    for (int col = 0; col <= cols; ++col)
        writer.Field(codePage.FromUnicode(SheetColumnTitle(table, col)).value_or(std::string()));
    writer.EndLine();
    if (table == SheetTable::Recycling) {
        for (int k = 0; k < RecyEntryCount; ++k) {
            writer.Field(std::to_string(k + 1));
            cell(recy[size_t(k)].price, 1);
            writer.EndLine();
        }
    } else {
        const TextTable& rows = table == SheetTable::PLU ? plu : dept;
        for (int r = 1; r <= rows.Rows(); ++r) {
            if (rows.RowIsDefault(r))
                continue;
            writer.Field(std::to_string(r));
            for (int c = 1; c <= cols; ++c)
                cell(rows.Cell(r, c), c);
            writer.EndLine();
        }
    }
    std::string& bytes = writer.Bytes();
    if (dialect.encoding == SheetEncoding::CodePage)
        return std::move(bytes);
    QStringEncoder encoder(dialect.encoding == SheetEncoding::Utf8      ? QStringConverter::Utf8
                           : dialect.encoding == SheetEncoding::Utf16LE ? QStringConverter::Utf16LE
                                                                        : QStringConverter::Utf16BE,
                           dialect.bom ? QStringConverter::Flag::WriteBom
                                       : QStringConverter::Flag::Default);
    const QByteArray encoded = encoder.encode(codePage.ToUnicode(bytes));
    return std::string(encoded.constData(), size_t(encoded.size()));
}

FileError ExportSheetFile(const std::string& path, SheetTable table, const TextTable& plu,
                          const TextTable& dept, const RecyTable& recy,
                          const SheetDialect& dialect) {
    return WriteFileAtomically(path, ExportSheet(table, plu, dept, recy, dialect)) ? 0 : errno;
}

std::string SheetRowsText(const std::vector<std::vector<QString>>& rows,
                          const SheetDialect& dialect) {
    // Quoting looks only at ASCII bytes, so the fields can be quoted as UTF-8 and converted
    // afterwards.
    RowWriter writer(dialect);
    for (const std::vector<QString>& row : rows) {
        for (const QString& field : row)
            writer.Field(field.toUtf8().toStdString());
        writer.EndLine();
    }
    const QString text = QString::fromStdString(writer.Bytes());
    if (dialect.encoding == SheetEncoding::CodePage) {
        std::string bytes;
        for (const QChar c : text)
            bytes += DocumentCodePage().ByteFor(c).value_or('?');
        return bytes;
    }
    QStringEncoder encoder(dialect.encoding == SheetEncoding::Utf8      ? QStringConverter::Utf8
                           : dialect.encoding == SheetEncoding::Utf16LE ? QStringConverter::Utf16LE
                                                                        : QStringConverter::Utf16BE,
                           dialect.bom ? QStringConverter::Flag::WriteBom
                                       : QStringConverter::Flag::Default);
    const QByteArray encoded = encoder.encode(text);
    return std::string(encoded.constData(), size_t(encoded.size()));
}
