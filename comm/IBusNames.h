#pragma once
// The names of the IBus protocol: command codes and their sub-commands, the program-load
// markers, the wake burst, the register address and the limits of the retries. The protocol
// component, the flows and the simulated register all use these; no bare number stands for
// one of them in a call.

#include <array>
#include <cstdint>

// ---- Packets and frames ----

inline constexpr int BlockSize = 256;    // data bytes of every packet
inline constexpr int PayloadSize = 259;  // command, parameter (2), data (256)
inline constexpr int PacketSize = 261;   // payload and checksum
inline constexpr int WorkAreaSize = 313; // size of WorkPacket and RequestPacket
inline constexpr int FrameSize = 301;
inline constexpr int WireFrameSize = 302; // frame and the trailing 0xFF
inline constexpr int DataBufSize = 312;
inline constexpr uint8_t FrameStart = 0x03;
inline constexpr uint8_t FrameEnd = 0x04;
inline constexpr uint8_t FrameTrailer = 0xFF;
inline constexpr uint8_t AnswerAck = 0x02;
inline constexpr uint8_t AnswerRefuse = 0x55;

using Block = std::array<uint8_t, BlockSize>;

// ---- Commands (payload byte 0) ----

enum IBusCommand : uint8_t {
    CmdReadStatus = 0,
    CmdWriteParameters = 1,
    CmdWriteFont = 2,
    CmdReadRecycling = 3,
    CmdWriteRecycling = 4,
    CmdReadParameters = 5,
    CmdClearReport = 6,
    CmdReadReport = 7,
    CmdReadSales = 8,
    CmdReadDepartments = 10,
    CmdReadPlu = 11,
    CmdWriteDepartments = 12,
    CmdWritePlu = 13,
    CmdConnection = 14, // handshake, end of connection, memory pages
    CmdProgramLoad = 15,
};

// Packet parameters (bytes 1 and 2) of CmdConnection.
inline constexpr uint16_t ConnectionHandshake = 1;
inline constexpr uint16_t ConnectionEnd = 2;
// With ReadBlock: one memory page (identification, memory dump).
inline constexpr uint16_t MemoryPageBlock = 16;
// The area selector of the identification page.
inline constexpr int IdentificationArea = 1;

// Packet parameters of CmdProgramLoad: the two markers around a load. Image blocks go under
// their own block numbers.
inline constexpr uint16_t ProgramLoadBegin = 0;
inline constexpr uint16_t ProgramLoadEnd = 1;

// Byte 14 of the handshake: what the connection is for.
inline constexpr uint8_t HandshakeData = 1;
inline constexpr uint8_t HandshakeProgram = 0;
inline constexpr uint8_t HandshakeBroadcast1024 = 0x5A;
inline constexpr uint8_t HandshakeBroadcast5120 = 0xA5;

// Byte 7 of the end of connection.
inline constexpr uint8_t EndStatusDone = 0;
inline constexpr uint8_t EndStatusFailed = 1;

// ---- The line ----

inline constexpr std::array<uint32_t, 5> BaudTable{9600, 19200, 38400, 57600, 115200};

// A register asleep in its loader hears only a run of wake bytes at 4800 baud.
inline constexpr uint8_t WakeByte = 0x66;
inline constexpr int WakeBurstLength = 64;
inline constexpr uint32_t WakeRate = 4800;

// The fixed address every connection uses.
inline constexpr uint32_t RegisterAddress = 5713;

// ---- Tries and answer times ----

inline constexpr int HandshakeTries = 21; // 9600 first, then the baud table round and round
inline constexpr int HandshakeAnswerMs = 800;
inline constexpr int EndOfConnectionTries = 3;
inline constexpr int EndOfConnectionAnswerMs = 100;
inline constexpr int MaxRetryCount = 10;
