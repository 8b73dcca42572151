#include "StateRecords.h"

#include "Defs.h"
#include "Ini.h"
#include "ParameterImage.h"
#include "RecordLayouts.h"
#include "RegisterState.h"

#include <charconv>
#include <cstring>
#include <map>
#include <ostream>
#include <sstream>

namespace {

// The layouts read and write numbers in the process's notation; the state file always uses '.'.
class DotSeparator {
public:
    DotSeparator() : previous_(DecimalSeparator()) { SetDecimalSeparator('.'); }
    ~DotSeparator() { SetDecimalSeparator(previous_); }
    DotSeparator(const DotSeparator&) = delete;
    DotSeparator& operator=(const DotSeparator&) = delete;

private:
    char previous_;
};

const char* const ParamSection = "Default";

std::string Quote(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c >= 0x7F) {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

// Money as an exact decimal text with the register's number of decimals.
std::string ExactAmount(bool negative, uint64_t magnitude, int decimals) {
    const uint64_t factor = uint64_t(IntPow(10, decimals));
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / factor);
    if (decimals > 0) {
        std::string fraction = std::to_string(magnitude % factor);
        text += '.' + std::string(size_t(decimals) - fraction.size(), '0') + fraction;
    }
    return text;
}
std::string ExactAmount(int64_t value, int decimals) {
    return ExactAmount(value < 0, value < 0 ? uint64_t(0) - uint64_t(value) : uint64_t(value),
                       decimals);
}

int64_t GetBE(const uint8_t* bytes, int width) {
    uint64_t value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | bytes[i];
    return int64_t(value);
}

// key=value fields; a value may be quoted.
bool SplitFields(const std::string& text, std::map<std::string, std::string>& fields) {
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        const size_t equals = text.find('=', i);
        if (equals == std::string::npos)
            return false;
        std::string key = text.substr(i, equals - i);
        std::string value;
        i = equals + 1;
        if (i < text.size() && text[i] == '"') {
            ++i;
            for (;;) {
                if (i >= text.size())
                    return false;
                char c = text[i++];
                if (c == '"')
                    break;
                if (c != '\\') {
                    value += c;
                    continue;
                }
                if (i >= text.size())
                    return false;
                c = text[i++];
                if (c == 'x') {
                    uint8_t byte = 0;
                    if (i + 2 > text.size() || !ParseHex(text.substr(i, 2), &byte, 1))
                        return false;
                    value += char(byte);
                    i += 2;
                } else {
                    value += c;
                }
            }
        } else {
            const size_t end = text.find(' ', i);
            value = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
            i = end == std::string::npos ? text.size() : end;
        }
        fields[key] = value;
    }
    return true;
}

std::string Field(const std::map<std::string, std::string>& fields, const char* key,
                  const char* missing = "") {
    auto it = fields.find(key);
    return it == fields.end() ? missing : it->second;
}

// ---- PLU items ----

PluRowTexts PluTexts(const std::array<uint8_t, PluRecordSize>& record, int decimals) {
    const PluRecordTexts decoded = DecodePluRecord(record, RegisterStatus{});
    PluRowTexts row;
    for (size_t i = 0; i < decoded.size(); ++i)
        row[i] = decoded[i];
    row[2] = ExactAmount(int32_t(uint32_t(GetBE(record.data() + 25, 4))), decimals);
    return row;
}

std::array<uint8_t, PluRecordSize> PluBytes(const PluRowTexts& row, int decimals) {
    std::array<uint8_t, PluRecordSize> record{};
    EncodePluRecord(row, RegisterStatus{uint8_t(decimals), 0}, record);
    return record;
}

std::string PluLine(int number, const PluRowTexts& row) {
    return "plu " + std::to_string(number) + " barcode=" + row[0] + " price=" + row[2] +
           " dept=" + row[3] + " stocks=" + row[4] + " flag=" + row[5] + " name=" + Quote(row[1]);
}

// ---- Sales records ----

struct SalesTexts {
    std::string barcode, quantity, total;
};

SalesTexts SalesFields(const std::array<uint8_t, PluSalesRecordSize>& bytes, int decimals) {
    const PluSalesRecord record = DecodeSalesStream(bytes, 1).front();
    return {BarcodeText(record.barcode), QuantityText(record.quantity),
            ExactAmount(false, record.total, decimals)};
}

std::array<uint8_t, PluSalesRecordSize> SalesBytes(const SalesTexts& texts, int decimals) {
    PluSalesRecord record;
    record.barcode = BarcodeTextValue(texts.barcode);
    record.quantity = int32_t(ScaleDecimalText(texts.quantity, 3));
    record.total = uint64_t(ScaleDecimalText(texts.total, decimals)) & 0xFFFFFFFFFFFFull;
    std::array<uint8_t, PluSalesRecordSize> bytes{};
    EncodePluSalesRecord(record, bytes);
    return bytes;
}

// ---- Departments ----

std::array<DeptRowTexts, DeptCount> DeptTexts(const Block& block, int decimals) {
    auto rows = DecodeDeptBlock(block, RegisterStatus{});
    for (size_t d = 0; d < DeptCount; ++d)
        rows[d][2] = ExactAmount(int32_t(uint32_t(GetBE(block.data() + 32 * d + 20, 4))), decimals);
    return rows;
}

// ---- Recycling table ----

bool RecyclingImageOf(const TRegisterState& state, RecyclingImage& image) {
    bool any = false;
    image.fill(0);
    for (int k = 0; k < RecyclingBlocks; ++k) {
        auto it = state.images.find({"recy", k});
        if (it == state.images.end())
            continue;
        any = true;
        std::memcpy(RecyclingBlock(image, k).data(), it->second.data(), BlockSize);
    }
    return any;
}

std::vector<RecyEntryTexts> RecyEntries(const RecyclingImage& image, int decimals) {
    std::vector<RecyEntryTexts> entries;
    for (int n = 1; n <= RecyclingEntries; ++n) {
        const uint64_t price = uint64_t(GetBE(image.data() + (n - 1) * RecyclingEntrySize + 9, 4));
        if (price != 0)
            entries.emplace_back(std::to_string(n), ExactAmount(false, price, decimals));
    }
    return entries;
}

// ---- Parameters ----

std::string ParamLines(const ParameterImage& image) {
    ParameterSet parameters = ParameterSet::Defaults();
    parameters.taxFree = TaxFreeNone; // an image without the tax-free mark has no tax-free slot
    DecodeParameterImage(image, parameters);
    IniFile ini = IniFile::FromText("[Default]\n");
    WriteParameterSet(ini, parameters);
    std::string text = ini.Text();
    text.erase(0, text.find('\n') + 1);
    std::string lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines += "param " + line + "\n";
    return lines;
}

ParameterImage ParamImage(const std::string& keyLines) {
    return EncodeParameterImage(
        ReadParameterSet(IniFile::FromText(std::string("[") + ParamSection + "]\n" + keyLines)));
}

// The "param " lines back into INI key lines.
std::string KeyLines(const std::string& paramLines) {
    std::string keys;
    std::istringstream in(paramLines);
    for (std::string line; std::getline(in, line);)
        keys += line.substr(6) + "\n";
    return keys;
}

bool ParameterImageOf(const TRegisterState& state, ParameterImage& image) {
    for (int k = 0; k < 2; ++k) {
        auto it = state.images.find({"param", k});
        if (it == state.images.end())
            return false;
        std::memcpy(ParameterBlock(image, k).data(), it->second.data(), BlockSize);
    }
    return true;
}

void WriteRawImage(std::ostream& out, const TRegisterState& state, const std::string& kind) {
    for (const auto& [key, block] : state.images)
        if (key.first == kind)
            out << "image " << key.first << " " << key.second << " "
                << HexBytes(block.data(), block.size()) << "\n";
}

} // namespace

void WriteReadableRecords(const TRegisterState& state, std::ostream& out) {
    DotSeparator dot;
    const int decimals = std::min<int>(state.decimals, MaxDecimals);

    for (const auto& [number, record] : state.plu) {
        const PluRowTexts row = PluTexts(record, decimals);
        if (PluBytes(row, decimals) == record)
            out << PluLine(number, row) << "\n";
        else
            out << "plu " << number << " " << HexBytes(record.data(), record.size()) << "\n";
    }
    for (const auto& record : state.sales) {
        const SalesTexts texts = SalesFields(record, decimals);
        if (SalesBytes(texts, decimals) == record)
            out << "sales barcode=" << texts.barcode << " quantity=" << texts.quantity
                << " total=" << texts.total << "\n";
        else
            out << "sales " << HexBytes(record.data(), record.size()) << "\n";
    }

    if (auto it = state.images.find({"dept", 0}); it != state.images.end()) {
        const auto rows = DeptTexts(it->second, decimals);
        if (EncodeDeptBlock(rows, RegisterStatus{uint8_t(decimals), 0}) == it->second) {
            for (size_t d = 0; d < DeptCount; ++d)
                out << "dept " << d + 1 << " tax=" << rows[d][1] << " price=" << rows[d][2]
                    << " name=" << Quote(rows[d][0]) << "\n";
        } else {
            WriteRawImage(out, state, "dept");
        }
    }

    RecyclingImage recy;
    if (RecyclingImageOf(state, recy)) {
        const auto entries = RecyEntries(recy, decimals);
        if (EncodeRecyclingImage(entries, RegisterStatus{uint8_t(decimals), 0}) == recy) {
            for (const auto& [number, price] : entries)
                out << "recy " << number << " price=" << price << "\n";
        } else {
            WriteRawImage(out, state, "recy");
        }
    }

    ParameterImage param{};
    if (ParameterImageOf(state, param)) {
        const std::string lines = ParamLines(param);
        if (ParamImage(KeyLines(lines)) == param)
            out << lines;
        else
            WriteRawImage(out, state, "param");
    } else {
        WriteRawImage(out, state, "param");
    }

    for (uint8_t status : state.disconnects)
        out << "disconnect " << int(status) << "\n";
}

struct TReadableRecordParser::Pending {
    std::map<int, PluRowTexts> plu;
    std::map<size_t, SalesTexts> sales; // by place in the sales list
    std::map<int, DeptRowTexts> dept;
    std::vector<RecyEntryTexts> recy;
    bool hasRecy = false;
    std::string paramKeys;
};

TReadableRecordParser::TReadableRecordParser() : pending_(new Pending) {}
TReadableRecordParser::~TReadableRecordParser() {
    delete pending_;
}

bool TReadableRecordParser::Parse(TRegisterState& state, const std::string& kind,
                                  const std::string& rest, std::string* error) {
    auto fail = [error](const std::string& why) {
        if (error)
            *error = why;
        return true;
    };
    if (kind == "param") {
        pending_->paramKeys += rest + "\n";
        return true;
    }
    if (kind == "disconnect") {
        int status = 0;
        auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), status);
        if (ec != std::errc() || status < 0 || status > 255)
            return fail("bad disconnect status");
        state.disconnects.push_back(uint8_t(status));
        return true;
    }
    // Leading number (plu, dept, recy), then fields.
    std::string head = rest, tail;
    if (kind != "sales") {
        const size_t space = rest.find(' ');
        head = rest.substr(0, space);
        tail = space == std::string::npos ? "" : rest.substr(space + 1);
    }
    std::map<std::string, std::string> fields;
    if (kind == "sales") {
        if (rest.find('=') == std::string::npos)
            return false; // the raw form
        if (!SplitFields(rest, fields))
            return fail("bad sales fields");
        pending_->sales[state.sales.size()] = {
            Field(fields, "barcode"), Field(fields, "quantity", "0"), Field(fields, "total", "0")};
        state.sales.emplace_back();
        return true;
    }
    if (kind != "plu" && kind != "dept" && kind != "recy")
        return false;
    if (kind == "plu" && tail.find('=') == std::string::npos)
        return false; // the raw form
    int number = 0;
    auto [end, ec] = std::from_chars(head.data(), head.data() + head.size(), number);
    if (ec != std::errc() || end != head.data() + head.size())
        return fail("bad " + kind + " number");
    if (!SplitFields(tail, fields))
        return fail("bad " + kind + " fields");
    if (kind == "plu") {
        if (number < 1 || number > PLURowCount)
            return fail("bad plu number");
        pending_->plu[number] = {Field(fields, "barcode"),
                                 Field(fields, "name"),
                                 Field(fields, "price", "0"),
                                 Field(fields, "dept", "1"),
                                 Field(fields, "stocks", "0"),
                                 Field(fields, "flag", "0"),
                                 "",
                                 ""};
    } else if (kind == "dept") {
        if (number < 1 || number > DeptCount)
            return fail("bad dept number");
        pending_->dept[number] = {Field(fields, "name"), Field(fields, "tax", "1"),
                                  Field(fields, "price", "0")};
    } else {
        if (number < 1 || number > RecyclingEntries)
            return fail("bad recy number");
        pending_->recy.emplace_back(std::to_string(number), Field(fields, "price", "0"));
        pending_->hasRecy = true;
    }
    return true;
}

bool TReadableRecordParser::Finish(TRegisterState& state, std::string*) {
    DotSeparator dot;
    const int decimals = std::min<int>(state.decimals, MaxDecimals);
    const RegisterStatus status{uint8_t(decimals), 0};
    for (const auto& [number, row] : pending_->plu)
        state.plu[number] = PluBytes(row, decimals);
    for (const auto& [at, texts] : pending_->sales)
        state.sales[at] = SalesBytes(texts, decimals);
    if (!pending_->dept.empty()) {
        std::array<DeptRowTexts, DeptCount> rows;
        for (size_t d = 0; d < DeptCount; ++d) {
            auto it = pending_->dept.find(int(d + 1));
            rows[d] = it != pending_->dept.end() ? it->second : DeptRowTexts{"", "1", "0"};
        }
        state.images[{"dept", 0}] = EncodeDeptBlock(rows, status);
    }
    if (pending_->hasRecy) {
        const RecyclingImage image = EncodeRecyclingImage(pending_->recy, status);
        for (int k = 0; k < RecyclingBlocks; ++k)
            std::memcpy(state.images[{"recy", k}].data(), RecyclingBlock(image, k).data(),
                        BlockSize);
    }
    if (!pending_->paramKeys.empty()) {
        const ParameterImage image = ParamImage(pending_->paramKeys);
        for (int k = 0; k < 2; ++k)
            std::memcpy(state.images[{"param", k}].data(), ParameterBlock(image, k).data(),
                        BlockSize);
    }
    *pending_ = Pending();
    return true;
}
