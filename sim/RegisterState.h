#pragma once
// The simulated register's memory and how it answers one IBus packet. No I/O: the executable
// around it owns the line, the rates, the timing and the faults.
//
// State file: one item per line, "#" starts a comment, numbers in decimal, bytes in hex:
//     decimals 2                      money decimals (status byte 0)
//     status <256 bytes>              raw status block; bytes 0 and 7-10 come from decimals and
//                                     the number of sales lines when it is sent
//     ident QUORVE SIM ECR            identification text (RAM page 0 from byte 16)
//     plu <number> <64 bytes>         PLU record by PLU number 1-30000
//     sales <17 bytes>                one sales record, in order
//     image <kind> <block> <256 bytes>  kind dept (block 0), recy (0-6), param (0-1)
//     (PLU items, sales records, departments, recycling entries and parameters are written as
//     readable fields whenever those give the bytes back exactly: see StateRecords.h)
//     report <text>                   one report line; lines are joined with CR LF
//     report-bytes <up to 256 bytes>  report bytes as they are (binary reports)
//     page <area> <page> <256 bytes>  memory page (area 0 ROM, 1 RAM); others are a pattern
//     wake-bursts <n>                 wake bursts heard so far
//     program-begin <n> / program-end <n>   values of the program-load markers
//     program <block> <256 bytes>     program image blocks received
//     font <block> <256 bytes>        font blocks received
//     write <command> <block> [<plu>...]  a data write taken (PLU writes with their PLU
//                                     numbers); the latest MaxWritesKept are kept

#include "IBusNames.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A data write the register took: command, block number and, for PLU items, their numbers.
struct TWriteHeard {
    int command = 0;
    int block = 0;
    std::vector<int> plus;
    bool operator==(const TWriteHeard&) const = default;
};

struct TRegisterState {
    // Enough to see which blocks a short transfer sent; the file must not grow without end.
    static constexpr size_t MaxWritesKept = 512;

    uint8_t decimals = 2;
    Block status{};
    std::string ident = "QUORVE SIM ECR 1.0";
    std::map<int, std::array<uint8_t, 64>> plu;
    std::vector<std::array<uint8_t, 17>> sales;
    std::map<std::pair<std::string, int>, Block> images;
    std::string report;
    std::map<std::pair<int, int>, Block> pages;
    int wakeBursts = 0;
    std::optional<uint16_t> programBegin;
    std::optional<uint16_t> programEnd;
    std::map<int, Block> program;
    std::map<int, Block> font;
    std::vector<uint8_t> disconnects; // status of every end-of-connection packet heard
    std::vector<TWriteHeard> writes;  // data writes taken, oldest first

    static TRegisterState Default();
    // False with a message when the file cannot be read or a line is malformed.
    bool Load(const std::string& path, std::string* error);
    bool Save(const std::string& path) const;
    std::string Text() const;
    bool ParseText(const std::string& text, std::string* error);

    Block MemoryPage(int area, int page) const;
};

// What the register does with one packet.
struct TReply {
    enum Kind { Silence, Ack, Refuse, Frame } kind = Silence;
    std::array<uint8_t, 261> packet{}; // Frame: the answer packet with its checksum
    bool changed = false;              // the state was changed
    int newRateIndex = -1;             // a handshake: talk at this index from now on
    bool endOfConnection = false;
};

struct TSession {
    uint32_t address = RegisterAddress;
    bool wakeHeard = false;   // a wake burst since the last end of connection
    bool programMode = false; // the connection was opened in program mode
};

TReply HandlePacket(TRegisterState& state, TSession& session, const uint8_t* packet);

std::string HexBytes(const uint8_t* bytes, size_t count);
bool ParseHex(const std::string& text, uint8_t* out, size_t count);
