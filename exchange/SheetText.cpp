#include "SheetText.h"

#include "CodePage.h"
#include "Defs.h"
#include "DocumentFile.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LEBom = "\xFF\xFE";
constexpr std::string_view Utf16BEBom = "\xFE\xFF";

std::string_view BomOf(SheetEncoding encoding) {
    switch (encoding) {
    case SheetEncoding::Utf8:
        return Utf8Bom;
    case SheetEncoding::Utf16LE:
        return Utf16LEBom;
    case SheetEncoding::Utf16BE:
        return Utf16BEBom;
    default:
        return {};
    }
}

// The line a character of the text stands on, counting line ends as the splitter does.
int LineAt(QStringView text, qsizetype index) {
    int line = 1;
    for (qsizetype i = 0; i < index && i < text.size(); ++i)
        if (text[i] == u'\n' ||
            (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            ++line;
    return line;
}

QString Decode(std::string_view bytes, SheetEncoding encoding,
               std::vector<SheetProblem>& problems) {
    if (encoding == SheetEncoding::CodePage)
        return DocumentCodePage().ToUnicode(bytes);
    const bool utf8 = encoding == SheetEncoding::Utf8;
    QStringDecoder decoder(utf8                                 ? QStringConverter::Utf8
                           : encoding == SheetEncoding::Utf16LE ? QStringConverter::Utf16LE
                                                                : QStringConverter::Utf16BE,
                           QStringConverter::Flag::Stateless |
                               QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    // The UTF-16 decoder takes a cut-off last unit and lone surrogates without complaint.
    qsizetype bad = -1;
    if (decoder.hasError()) {
        bad = text.indexOf(QChar::ReplacementCharacter);
    } else if (!utf8) {
        for (qsizetype i = 0; i < text.size() && bad < 0; ++i) {
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
            else if (text[i].isSurrogate())
                bad = i;
        }
        if (bad < 0 && bytes.size() % 2 != 0)
            bad = text.size();
    }
    if (bad >= 0)
        problems.push_back({LineAt(text, bad),
                            {},
                            {},
                            utf8 ? QCoreApplication::translate("Sheet", "not valid UTF-8")
                                 : QCoreApplication::translate("Sheet", "not valid UTF-16")});
    return text;
}

// Letters that UTF-8 writes in two bytes (Latin-1 and Latin Extended: ą, ż, ö, ß...) or anything
// in three or four. Code page text forms such pairs only by chance: CP1250 "ÓŁ" (D3 A3) is valid
// UTF-8 for a Cyrillic letter, so a two-byte character outside the Latin letters proves nothing.
bool HoldsUtf8Letters(QStringView decoded) {
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        const char16_t u = decoded[i].unicode();
        if (u == QChar::ReplacementCharacter || u == 0xD7 || u == 0xF7)
            continue;
        if (QChar::isSurrogate(u)) {
            if (QChar::isHighSurrogate(u) && i + 1 < decoded.size() &&
                decoded[i + 1].isLowSurrogate())
                return true;
            continue;
        }
        if ((u >= 0xC0 && u <= 0x24F) || u >= 0x800)
            return true;
    }
    return false;
}

} // namespace

// Splits a text into records at the separator and line ends; a field that begins with a quote
// runs to the closing quote, holding separators, line breaks and doubled quotes.
class SheetSplitter {
public:
    SheetSplitter(QStringView text, char separator) : text_(text), sep_(QLatin1Char(separator)) {}

    // Adds the next record that holds a non-empty field; false at the end of the text.
    bool Next(SheetText& out) {
        while (pos_ < text_.size())
            if (ReadRecord(out))
                return true;
        return false;
    }
    // The fields never hold more characters than the text: one buffer, never moved.
    static void Reserve(SheetText& out, qsizetype chars) { out.chars_.reserve(chars); }
    // Takes the last record back out.
    static void DropLast(SheetText& out) {
        out.chars_.truncate(out.fields_[out.records_.back().firstField].start);
        out.fields_.resize(out.records_.back().firstField);
        out.records_.pop_back();
    }
    // Where a quoted field began that the text never closes; 0 when none.
    int UnclosedQuoteLine() const { return unclosed_; }

private:
    bool ReadRecord(SheetText& out) {
        const qsizetype n = text_.size();
        const size_t firstField = out.fields_.size();
        const qsizetype firstChar = out.chars_.size();
        const int line = line_;
        const int position = position_++;
        qsizetype fieldStart = firstChar;
        int count = 0;
        bool any = false;
        bool atStart = true;
        auto append = [&](QStringView part) {
            const qsizetype room = MaxSheetFieldChars - (out.chars_.size() - fieldStart);
            if (room > 0)
                out.chars_.append(part.first(std::min(room, part.size())));
        };
        auto push = [&] {
            const qsizetype size = out.chars_.size() - fieldStart;
            any = any || size > 0;
            if (count < MaxSheetColumns) {
                out.fields_.push_back({fieldStart, size});
                ++count;
            } else {
                out.chars_.truncate(fieldStart);
            }
            fieldStart = out.chars_.size();
        };
        auto finish = [&] {
            if (!any) {
                out.fields_.resize(firstField);
                out.chars_.truncate(firstChar);
                return false;
            }
            out.records_.push_back({line, position, count, firstField});
            return true;
        };
        while (pos_ < n) {
            const QChar c = text_[pos_];
            if (atStart && c == u'"') {
                atStart = false;
                const int startLine = line_;
                ++pos_;
                for (;;) {
                    qsizetype q = pos_;
                    for (; q < n && text_[q] != u'"'; ++q)
                        if (text_[q] == u'\n' ||
                            (text_[q] == u'\r' && (q + 1 == n || text_[q + 1] != u'\n')))
                            ++line_;
                    append(text_.sliced(pos_, q - pos_));
                    if (q == n) {
                        unclosed_ = startLine;
                        pos_ = n;
                        break;
                    }
                    if (q + 1 < n && text_[q + 1] == u'"') {
                        append(u"\"");
                        pos_ = q + 2;
                        continue;
                    }
                    pos_ = q + 1;
                    break;
                }
                continue;
            }
            atStart = false;
            if (c == sep_) {
                push();
                atStart = true;
                ++pos_;
                continue;
            }
            if (c == u'\r' || c == u'\n') {
                ++pos_;
                if (c == u'\r' && pos_ < n && text_[pos_] == u'\n')
                    ++pos_;
                ++line_;
                push();
                return finish();
            }
            // Text up to the next separator or line end; a quote inside it is a character.
            qsizetype e = pos_;
            while (e < n && text_[e] != sep_ && text_[e] != u'\r' && text_[e] != u'\n')
                ++e;
            append(text_.sliced(pos_, e - pos_));
            pos_ = e;
        }
        push();
        return finish();
    }

    QStringView text_;
    QChar sep_;
    qsizetype pos_ = 0;
    int line_ = 1;
    int position_ = 0;
    int unclosed_ = 0;
};

namespace {

// The separator whose field count is the same on most of the first records, the larger count
// winning a tie: a header and its rows agree, where a comma inside prices or names does not.
char FindSeparator(QStringView text) {
    constexpr int Sample = 64;
    char best = DecimalSeparator() == ',' ? ';' : ',';
    int bestAgreeing = 0;
    int bestFields = 1;
    for (char candidate : {'\t', ';', ','}) {
        SheetSplitter splitter(text, candidate);
        SheetText sample;
        for (int i = 0; i < Sample && splitter.Next(sample); ++i) {
        }
        std::map<int, int> counts;
        for (size_t r = 0; r < sample.Records(); ++r)
            ++counts[sample.Fields(r)];
        for (auto [fields, agreeing] : counts) {
            if (fields > 1 &&
                (agreeing > bestAgreeing || (agreeing == bestAgreeing && fields > bestFields))) {
                best = candidate;
                bestAgreeing = agreeing;
                bestFields = fields;
            }
        }
    }
    return best;
}

// Which of '.' and ',' the fields that look like decimal fractions use more often. "1,299" and
// "12.500" may as well be thousands written with a group separator, so such fields only count
// when no other field tells.
char FindDecimal(const SheetText& sheet, char separator) {
    constexpr size_t Sample = 1000;
    std::array<int, 4> votes{}; // '.', ',', then the same for fields that may be groups
    for (size_t r = 0; r < sheet.Records() && r < Sample; ++r) {
        for (int f = 0; f < sheet.Fields(r); ++f) {
            const QStringView field = sheet.Field(r, f);
            const qsizetype start = field.startsWith(u'-') ? 1 : 0;
            qsizetype i = start;
            while (i < field.size() && field[i].isDigit())
                ++i;
            if (i + 1 >= field.size() || (field[i] != u'.' && field[i] != u','))
                continue;
            const qsizetype whole = i - start;
            const bool comma = field[i] == u',';
            ++i;
            const qsizetype fraction = i;
            while (i < field.size() && field[i].isDigit())
                ++i;
            if (i != field.size())
                continue;
            const bool group =
                whole >= 1 && whole <= 3 && field[start] != u'0' && i - fraction == 3;
            ++votes[(comma ? 1 : 0) + (group ? 2 : 0)];
        }
    }
    if (votes[0] != votes[1])
        return votes[0] > votes[1] ? '.' : ',';
    if (votes[2] != votes[3])
        return votes[2] > votes[3] ? '.' : ',';
    if (separator == ';')
        return ',';
    return separator == ',' ? '.' : DecimalSeparator();
}

SheetText Split(const QString& text, SheetDialect dialect, std::vector<SheetProblem> problems) {
    SheetText sheet;
    SheetSplitter splitter(text, dialect.separator);
    SheetSplitter::Reserve(sheet, text.size());
    while (splitter.Next(sheet)) {
        if (sheet.Records() > size_t(MaxSheetRows) + 1) {
            problems.push_back(
                {sheet.Line(sheet.Records() - 1),
                 {},
                 {},
                 QCoreApplication::translate("Sheet", "more rows than a table holds (%1)")
                     .arg(MaxSheetRows)});
            SheetSplitter::DropLast(sheet);
            break;
        }
    }
    if (int line = splitter.UnclosedQuoteLine())
        problems.push_back(
            {line, {}, {}, QCoreApplication::translate("Sheet", "a quoted field is never closed")});
    sheet.dialect = dialect;
    sheet.problems = std::move(problems);
    return sheet;
}

std::vector<SheetProblem> SizeProblems(std::string_view bytes) {
    if (bytes.size() <= MaxSheetFileBytes)
        return {};
    return {{0,
             {},
             {},
             QCoreApplication::translate("Sheet", "the file is larger than %1 MiB")
                 .arg(MaxSheetFileBytes >> 20)}};
}

} // namespace

QStringView SheetText::Field(size_t record, int field) const {
    const Record& r = records_[record];
    if (field < 0 || field >= r.fields)
        return {};
    const Span& span = fields_[r.firstField + size_t(field)];
    return QStringView(chars_).sliced(span.start, span.size);
}

QString EncodingText(const SheetDialect& dialect) {
    switch (dialect.encoding) {
    case SheetEncoding::Utf8:
        return dialect.bom ? QCoreApplication::translate("Sheet", "UTF-8 with BOM")
                           : QCoreApplication::translate("Sheet", "UTF-8");
    case SheetEncoding::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case SheetEncoding::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    default:
        return QString::fromStdString(DocumentCodePage().Name());
    }
}

QString SeparatorText(char separator) {
    switch (separator) {
    case ';':
        return QCoreApplication::translate("Sheet", "semicolon");
    case ',':
        return QCoreApplication::translate("Sheet", "comma");
    default:
        return QCoreApplication::translate("Sheet", "tab");
    }
}

QString DialectText(const SheetDialect& dialect) {
    return QCoreApplication::translate("Sheet", "%1, %2 between fields, decimal %3")
        .arg(EncodingText(dialect), SeparatorText(dialect.separator),
             dialect.decimal == ',' ? QCoreApplication::translate("Sheet", "comma")
                                    : QCoreApplication::translate("Sheet", "point"));
}

QString ProblemText(const SheetProblem& problem) {
    QString where = problem.line > 0
                        ? QCoreApplication::translate("Sheet", "line %1").arg(problem.line)
                        : QString();
    if (!problem.column.isEmpty()) {
        if (!where.isEmpty())
            where += QStringLiteral(", ");
        // One problem a line, also when the value holds a line break or a tab.
        QString value = problem.value;
        value.replace(u'\r', QStringLiteral("\\r"))
            .replace(u'\n', QStringLiteral("\\n"))
            .replace(u'\t', QStringLiteral("\\t"));
        where += problem.column + QStringLiteral(" \"") + value + u'"';
    }
    return where.isEmpty() ? problem.reason : where + QStringLiteral(": ") + problem.reason;
}

SheetText ReadSheet(std::string_view bytes) {
    if (auto problems = SizeProblems(bytes); !problems.empty()) {
        SheetText sheet;
        sheet.problems = std::move(problems);
        return sheet;
    }
    SheetDialect dialect;
    for (SheetEncoding encoding :
         {SheetEncoding::Utf8, SheetEncoding::Utf16LE, SheetEncoding::Utf16BE}) {
        if (bytes.starts_with(BomOf(encoding))) {
            dialect.encoding = encoding;
            dialect.bom = true;
        }
    }
    std::vector<SheetProblem> problems;
    std::string_view body = bytes.substr(dialect.bom ? BomOf(dialect.encoding).size() : 0);
    QString text = Decode(body, dialect.encoding, problems);
    // Without a BOM, text that is no UTF-8 is taken for the code page the document uses, unless
    // it holds UTF-8 letters too: then one damaged byte is no reason to misread all the others.
    if (!dialect.bom && !problems.empty() && !HoldsUtf8Letters(text)) {
        problems.clear();
        dialect.encoding = SheetEncoding::CodePage;
        text = Decode(body, dialect.encoding, problems);
    }
    dialect.separator = FindSeparator(text);
    SheetText sheet = Split(text, dialect, std::move(problems));
    sheet.dialect.decimal = FindDecimal(sheet, dialect.separator);
    return sheet;
}

SheetText ReadSheet(std::string_view bytes, const SheetDialect& given) {
    if (auto problems = SizeProblems(bytes); !problems.empty()) {
        SheetText sheet;
        sheet.dialect = given;
        sheet.problems = std::move(problems);
        return sheet;
    }
    SheetDialect dialect = given;
    const std::string_view bom = BomOf(dialect.encoding);
    dialect.bom = !bom.empty() && bytes.starts_with(bom);
    std::vector<SheetProblem> problems;
    QString text = Decode(bytes.substr(dialect.bom ? bom.size() : 0), dialect.encoding, problems);
    return Split(text, dialect, std::move(problems));
}

SheetFile LoadSheetFile(const std::string& path) {
    SheetFile file;
    // O_NONBLOCK: a FIFO would otherwise hold the open until something writes to it.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        file.error = QString::fromStdString(FileErrorText(errno));
        return file;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode)) {
        ::close(fd);
        file.error = QString::fromStdString(FileErrorText(S_ISDIR(info.st_mode) ? EISDIR : EINVAL));
        return file;
    }
    // Read one byte past the limit rather than trust the size: the file may be growing.
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            file.error = QString::fromStdString(FileErrorText(errno));
            break;
        }
        if (n == 0)
            break;
        file.bytes.append(buffer, size_t(n));
        if (file.bytes.size() > MaxSheetFileBytes) {
            file.error = QCoreApplication::translate("Sheet", "the file is larger than %1 MiB")
                             .arg(MaxSheetFileBytes >> 20);
            break;
        }
    }
    ::close(fd);
    if (!file.error.isEmpty())
        file.bytes.clear();
    return file;
}
