// The simulated register's answers and its state file, without a line.
#include "RegisterState.h"
#include "TolvIBus.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::array<uint8_t, PacketSize> Packet(uint8_t command, uint16_t param,
                                       std::initializer_list<uint8_t> data = {}) {
    std::array<uint8_t, PacketSize> p{};
    p[0] = command;
    p[1] = uint8_t(param);
    p[2] = uint8_t(param >> 8);
    std::copy(data.begin(), data.end(), p.begin() + 3);
    SetPacketChecksum(p.data());
    return p;
}

TEST(SimRegister, Answers) {
    TRegisterState state = TRegisterState::Default();
    TSession session;
    struct Case {
        const char* name;
        std::array<uint8_t, PacketSize> packet;
        TReply::Kind kind;
    } cases[] = {
        {"handshake", Packet(14, 1, {0x13, 0x57, 0, 0, 0x26, 1, 1, 0, 0, 0, 4, 1}), TReply::Ack},
        {"handshake, rate index 5", Packet(14, 1, {0x13, 0x57, 0, 0, 0, 0, 0, 0, 0, 0, 5, 1}),
         TReply::Refuse},
        {"another register's handshake", Packet(14, 1, {0x14, 0x57, 0, 0}), TReply::Silence},
        {"program mode without wake burst",
         Packet(14, 1, {0x13, 0x57, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), TReply::Refuse},
        {"PLU block of four records", Packet(13, 0, {4}), TReply::Refuse},
        {"PLU index beyond 30000", Packet(13, 0, {1, 0x30, 0x75, 0, 0}), TReply::Refuse},
        {"parameter block 2", Packet(1, 2), TReply::Refuse},
        {"recycling block 6", Packet(4, 6), TReply::Ack},
        {"unknown command", Packet(9, 0), TReply::Refuse},
        {"status", Packet(0, 0), TReply::Frame},
        {"end of connection", Packet(14, 2, {0x13, 0x57, 0, 0, 1}), TReply::Ack},
    };
    for (const Case& c : cases) {
        TReply reply = HandlePacket(state, session, c.packet.data());
        EXPECT_EQ(reply.kind, c.kind) << c.name;
        if (reply.kind == TReply::Frame) {
            EXPECT_EQ(0, std::memcmp(reply.packet.data(), c.packet.data(), 3)) << c.name;
            EXPECT_EQ(PayloadChecksum(reply.packet.data()),
                      reply.packet[259] | reply.packet[260] << 8)
                << c.name;
        }
    }
    auto hs = Packet(14, 1, {0x13, 0x57, 0, 0, 0, 0, 0, 0, 0, 0, 3, 1});
    EXPECT_EQ(HandlePacket(state, session, hs.data()).newRateIndex, 3);

    // Sales records run across block borders: record 15 starts at byte 255 of block 0.
    state.sales.resize(16);
    state.sales[15].fill(0xAB);
    TReply first = HandlePacket(state, session, Packet(8, 0).data());
    TReply second = HandlePacket(state, session, Packet(8, 1).data());
    EXPECT_EQ(first.packet[3 + 255], 0xAB);
    EXPECT_EQ(second.packet[3 + 0], 0xAB);
    EXPECT_EQ(second.packet[3 + 15], 0xAB);
    EXPECT_EQ(second.packet[3 + 16], 0x00);
}

TEST(SimRegister, StateFileRoundTrip) {
    TRegisterState state = TRegisterState::Default();
    state.decimals = 0;
    state.ident = "ECR WITH  TWO BLANKS";
    state.plu[30000].fill(0x7E);
    state.sales.push_back({});
    state.images[{"recy", 6}].fill(0x10);
    state.pages[{1, 513}].fill(0xEE);
    state.programBegin = 0;
    state.font[1].fill(0x01);
    state.wakeBursts = 2;
    TRegisterState back;
    std::string error;
    ASSERT_TRUE(back.ParseText(state.Text(), &error)) << error;
    EXPECT_EQ(back.Text(), state.Text());
    EXPECT_EQ(back.report, state.report);
    EXPECT_EQ(back.ident, state.ident);

    // CRs before a line end belong to the line end; one inside the text stays.
    const std::pair<const char*, const char*> idents[] = {{"ident A\r\n", "A"},
                                                          {"ident A\r\r\r\n", "A"},
                                                          {"ident A\rB\r\n", "A\rB"},
                                                          {"ident \r\r", ""}};
    for (const auto& [line, ident] : idents) {
        ASSERT_TRUE(back.ParseText(line, &error)) << error;
        EXPECT_EQ(back.ident, ident) << line;
        TRegisterState again;
        ASSERT_TRUE(again.ParseText(back.Text(), &error)) << error;
        EXPECT_EQ(again.Text(), back.Text()) << line;
    }

    const char* bad[] = {"plu 0 00", "plu 1 zz", "image recy x 00", "frobnicate 1"};
    for (const char* line : bad)
        EXPECT_FALSE(back.ParseText(line, &error)) << line;
}

} // namespace
