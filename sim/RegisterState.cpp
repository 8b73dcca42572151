#include "RegisterState.h"

#include "AtomicFile.h"
#include "StateRecords.h"
#include "TolvIBus.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

std::string HexBytes(const uint8_t* bytes, size_t count) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

bool ParseHex(const std::string& text, uint8_t* out, size_t count) {
    if (text.size() != count * 2)
        return false;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    for (size_t i = 0; i < count; ++i) {
        int hi = nibble(text[2 * i]), lo = nibble(text[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out[i] = uint8_t(hi << 4 | lo);
    }
    return true;
}

TRegisterState TRegisterState::Default() {
    TRegisterState state;
    state.report = "   X REPORT   \r\nGROSS      0.00\r\nNET        0.00\r\n";
    return state;
}

Block TRegisterState::MemoryPage(int area, int page) const {
    auto it = pages.find({area, page});
    if (it != pages.end())
        return it->second;
    Block b{};
    for (int j = 0; j < 256; ++j)
        b[size_t(j)] = uint8_t(page * 7 + j + area * 0x40);
    if (area == 1 && page == 0) {
        // The identification record: a header, then the text from byte 16, ended by 0.
        std::memset(b.data(), 0, 64);
        std::memcpy(b.data(), "QSIM", 4);
        size_t n = std::min<size_t>(ident.size(), 47);
        std::memcpy(b.data() + 16, ident.data(), n);
    }
    return b;
}

namespace {

// A report of text lines, each ended by CR LF, is kept as "report" lines; any other report
// (zero or line-break bytes inside, binary bytes, no final CR LF) as "report-bytes" hex lines.
bool ReportIsLines(const std::string& report) {
    if (report.size() < 2 || report.compare(report.size() - 2, 2, "\r\n") != 0)
        return false;
    for (size_t i = 0; i < report.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(report[i]);
        const bool lineEnd = (c == '\r' && i + 1 < report.size() && report[i + 1] == '\n') ||
                             (c == '\n' && i > 0 && report[i - 1] == '\r');
        if ((c < 32 || c >= 127) && !lineEnd)
            return false;
    }
    return true;
}

void WriteReportItems(std::ostream& out, const std::string& report) {
    if (!ReportIsLines(report)) {
        for (size_t start = 0; start < report.size(); start += 256) {
            const size_t n = std::min<size_t>(256, report.size() - start);
            out << "report-bytes "
                << HexBytes(reinterpret_cast<const uint8_t*>(report.data()) + start, n) << "\n";
        }
        return;
    }
    size_t start = 0;
    while (start < report.size()) {
        size_t end = report.find("\r\n", start);
        out << "report " << report.substr(start, end - start) << "\n";
        start = end + 2;
    }
}

bool AppendReportBytes(const std::string& hex, std::string& report) {
    std::string bytes(hex.size() / 2, '\0');
    if (!ParseHex(hex, reinterpret_cast<uint8_t*>(bytes.data()), bytes.size()))
        return false;
    report += bytes;
    return true;
}

} // namespace

std::string TRegisterState::Text() const {
    std::ostringstream out;
    out << "# quorve-sim register state\n";
    out << "decimals " << int(decimals) << "\n";
    out << "status " << HexBytes(status.data(), status.size()) << "\n";
    out << "ident " << ident << "\n";
    WriteReadableRecords(*this, out);
    for (const auto& [key, block] : images)
        if (key.first != "dept" && key.first != "recy" && key.first != "param")
            out << "image " << key.first << " " << key.second << " "
                << HexBytes(block.data(), block.size()) << "\n";
    WriteReportItems(out, report);
    for (const auto& [key, block] : pages)
        out << "page " << key.first << " " << key.second << " "
            << HexBytes(block.data(), block.size()) << "\n";
    out << "wake-bursts " << wakeBursts << "\n";
    if (programBegin)
        out << "program-begin " << *programBegin << "\n";
    if (programEnd)
        out << "program-end " << *programEnd << "\n";
    for (const auto& [number, block] : program)
        out << "program " << number << " " << HexBytes(block.data(), block.size()) << "\n";
    for (const auto& [number, block] : font)
        out << "font " << number << " " << HexBytes(block.data(), block.size()) << "\n";
    for (const TWriteHeard& write : writes) {
        out << "write " << write.command << " " << write.block;
        for (int plu : write.plus)
            out << " " << plu;
        out << "\n";
    }
    return out.str();
}

bool TRegisterState::ParseText(const std::string& text, std::string* error) {
    *this = TRegisterState();
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    bool hadReport = false;
    TReadableRecordParser readable;
    auto fail = [&](const std::string& why) {
        if (error)
            *error = "line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        size_t space = line.find(' ');
        std::string kind = line.substr(0, space);
        std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        std::istringstream fields(rest);
        if (kind == "report-bytes") {
            if (!AppendReportBytes(rest, report))
                return fail("bad report bytes");
            continue;
        }
        if (kind == "report") {
            if (hadReport)
                report += "\r\n";
            report += rest;
            hadReport = true;
            continue;
        }
        if (kind == "ident") {
            // CRs at the end are line-end litter; kept, each save and load would take one more.
            ident = rest.substr(0, rest.find_last_not_of('\r') + 1);
            continue;
        }
        if (std::string why; readable.Parse(*this, kind, rest, &why)) {
            if (!why.empty())
                return fail(why);
            continue;
        }
        std::string a, b, c;
        fields >> a >> b >> c;
        try {
            if (kind == "decimals") {
                decimals = uint8_t(std::stoi(a));
            } else if (kind == "status") {
                if (!ParseHex(a, status.data(), 256))
                    return fail("bad status bytes");
            } else if (kind == "plu") {
                std::array<uint8_t, 64> record{};
                int number = std::stoi(a);
                if (number < 1 || number > 30000 || !ParseHex(b, record.data(), 64))
                    return fail("bad plu record");
                plu[number] = record;
            } else if (kind == "sales") {
                std::array<uint8_t, 17> record{};
                if (!ParseHex(a, record.data(), 17))
                    return fail("bad sales record");
                sales.push_back(record);
            } else if (kind == "image") {
                Block block{};
                if (!ParseHex(c, block.data(), 256))
                    return fail("bad image block");
                images[{a, std::stoi(b)}] = block;
            } else if (kind == "page") {
                Block block{};
                if (!ParseHex(c, block.data(), 256))
                    return fail("bad page");
                pages[{std::stoi(a), std::stoi(b)}] = block;
            } else if (kind == "wake-bursts") {
                wakeBursts = std::stoi(a);
            } else if (kind == "program-begin") {
                programBegin = uint16_t(std::stoi(a));
            } else if (kind == "program-end") {
                programEnd = uint16_t(std::stoi(a));
            } else if (kind == "write") {
                TWriteHeard write;
                std::istringstream numbers(rest);
                if (!(numbers >> write.command >> write.block))
                    return fail("bad write");
                for (int plu = 0; numbers >> plu;)
                    write.plus.push_back(plu);
                writes.push_back(std::move(write));
            } else if (kind == "program" || kind == "font") {
                Block block{};
                if (!ParseHex(b, block.data(), 256))
                    return fail("bad " + kind + " block");
                (kind == "program" ? program : font)[std::stoi(a)] = block;
            } else {
                return fail("unknown item " + kind);
            }
        } catch (const std::exception&) {
            return fail("bad number");
        }
    }
    if (hadReport)
        report += "\r\n";
    return readable.Finish(*this, error);
}

bool TRegisterState::Load(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error)
            *error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseText(text.str(), error);
}

bool TRegisterState::Save(const std::string& path) const {
    return WriteFileAtomically(path, Text());
}

namespace {

TReply FrameReply(const uint8_t* request, const uint8_t* data) {
    TReply reply;
    reply.kind = TReply::Frame;
    std::memcpy(reply.packet.data(), request, 3);
    std::memcpy(reply.packet.data() + 3, data, 256);
    SetPacketChecksum(reply.packet.data());
    return reply;
}

TReply Simple(TReply::Kind kind, bool changed = false) {
    TReply reply;
    reply.kind = kind;
    reply.changed = changed;
    return reply;
}

const std::map<int, std::pair<std::string, int>> ImageWrites{{CmdWriteParameters, {"param", 2}},
                                                             {CmdWriteRecycling, {"recy", 7}},
                                                             {CmdWriteDepartments, {"dept", 1}}};
const std::map<int, std::pair<std::string, int>> ImageReads{{CmdReadParameters, {"param", 2}},
                                                            {CmdReadRecycling, {"recy", 7}},
                                                            {CmdReadDepartments, {"dept", 1}}};

void RecordWrite(TRegisterState& state, TWriteHeard write) {
    if (state.writes.size() >= TRegisterState::MaxWritesKept)
        state.writes.erase(state.writes.begin());
    state.writes.push_back(std::move(write));
}

} // namespace

TReply HandlePacket(TRegisterState& state, TSession& session, const uint8_t* packet) {
    const int command = packet[0];
    const int param = packet[1] | packet[2] << 8;
    const uint8_t* data = packet + 3;
    Block answer{};

    if (auto it = ImageWrites.find(command); it != ImageWrites.end()) {
        if (param >= it->second.second)
            return Simple(TReply::Refuse);
        Block& block = state.images[{it->second.first, param}];
        std::memcpy(block.data(), data, 256);
        RecordWrite(state, {command, param, {}});
        return Simple(TReply::Ack, true);
    }
    if (auto it = ImageReads.find(command); it != ImageReads.end()) {
        auto found = state.images.find({it->second.first, param});
        if (found != state.images.end())
            answer = found->second;
        return FrameReply(packet, answer.data());
    }
    switch (command) {
    case CmdReadStatus: {
        answer = state.status;
        answer[0] = state.decimals;
        uint32_t count = uint32_t(state.sales.size());
        for (int i = 0; i < 4; ++i)
            answer[size_t(7 + i)] = uint8_t(count >> (24 - 8 * i));
        return FrameReply(packet, answer.data());
    }
    case CmdWriteFont:
        std::memcpy(state.font[param].data(), data, 256);
        return Simple(TReply::Ack, true);
    case CmdClearReport:
        state.report.clear();
        return Simple(TReply::Ack, true);
    case CmdReadReport: {
        size_t start = size_t(param) * 256;
        if (start < state.report.size())
            std::memcpy(answer.data(), state.report.data() + start,
                        std::min<size_t>(256, state.report.size() - start));
        return FrameReply(packet, answer.data());
    }
    case CmdReadSales: {
        for (size_t j = 0; j < 256; ++j) {
            size_t at = size_t(param) * 256 + j, record = at / 17;
            if (record < state.sales.size())
                answer[j] = state.sales[record][at % 17];
        }
        return FrameReply(packet, answer.data());
    }
    case CmdReadPlu: {
        for (int k = 0; k < 4; ++k) {
            auto found = state.plu.find(param * 4 + k + 1);
            if (found != state.plu.end())
                std::memcpy(answer.data() + 64 * k, found->second.data(), 64);
            else
                std::memset(answer.data() + 64 * k, 0xFF, 64);
        }
        return FrameReply(packet, answer.data());
    }
    case CmdWritePlu: {
        int count = data[0];
        if (count < 1 || count > 3)
            return Simple(TReply::Refuse);
        TWriteHeard write{command, param, {}};
        for (int k = 0; k < count; ++k) {
            const uint8_t* record = data + 1 + 68 * k;
            uint32_t index =
                record[0] | record[1] << 8 | record[2] << 16 | uint32_t(record[3]) << 24;
            if (index >= 30000)
                return Simple(TReply::Refuse);
            std::memcpy(state.plu[int(index) + 1].data(), record + 4, 64);
            write.plus.push_back(int(index) + 1);
        }
        RecordWrite(state, std::move(write));
        return Simple(TReply::Ack, true);
    }
    case CmdConnection: {
        if (param == MemoryPageBlock) {
            int page = data[0] | data[1] << 8;
            answer = state.MemoryPage(data[2] >> 4, page);
            return FrameReply(packet, answer.data());
        }
        uint8_t address[4];
        PackBcd(session.address, address);
        bool broadcast = std::memcmp(data, "\0\0\0\0", 4) == 0;
        if (!broadcast && std::memcmp(data, address, 4) != 0)
            return Simple(TReply::Silence); // another register's packet
        if (param == ConnectionHandshake) {
            int rate = data[10];
            int mode = data[11];
            if (rate > 4)
                return Simple(TReply::Refuse);
            if (mode == HandshakeProgram && !session.wakeHeard)
                return Simple(TReply::Refuse);
            session.programMode = mode == HandshakeProgram;
            TReply reply = Simple(TReply::Ack);
            reply.newRateIndex = rate;
            return reply;
        }
        if (param == ConnectionEnd) {
            session.wakeHeard = false;
            session.programMode = false;
            TReply reply = Simple(TReply::Ack);
            reply.endOfConnection = true;
            return reply;
        }
        return Simple(TReply::Refuse);
    }
    case CmdProgramLoad:
        // Program loads are taken only inside a program-mode connection.
        if (!session.programMode)
            return Simple(TReply::Refuse);
        if (param == ProgramLoadBegin)
            state.programBegin = uint16_t(data[0] | data[1] << 8);
        else if (param == ProgramLoadEnd)
            state.programEnd = uint16_t(data[0] | data[1] << 8);
        else
            std::memcpy(state.program[param].data(), data, 256);
        return Simple(TReply::Ack, true);
    default:
        return Simple(TReply::Refuse);
    }
}
