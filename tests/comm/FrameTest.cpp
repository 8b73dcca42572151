#include "TolvIBus.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<uint8_t> Encode(const std::vector<uint8_t>& packet) {
    std::vector<uint8_t> frame(FrameSize);
    EncodeFrame(packet.data(), frame.data());
    return frame;
}

TEST(Frame, ExactVectors) {
    // All-zero payload: start, 296 bytes 0x80, checksum bytes 0x80 0x80 0x80, end.
    std::vector<uint8_t> zero(PacketSize, 0);
    std::vector<uint8_t> expected(FrameSize, 0x80);
    expected[0] = 0x03;
    expected[300] = 0x04;
    EXPECT_EQ(Encode(zero), expected);

    // 0xFF at payload position 6: frame byte 7 = 0xFF, bit 6 of frame byte 8.
    std::vector<uint8_t> p(PacketSize, 0);
    p[6] = 0xFF;
    SetPacketChecksum(p.data());
    std::vector<uint8_t> f = Encode(p);
    EXPECT_EQ(f[7], 0xFF);
    EXPECT_EQ(f[8], 0x80 | 0x40);
    EXPECT_EQ(f[16], 0x80);

    // A payload summing to 0x80FF: 129 bytes 0xFF and one 0x80.
    std::vector<uint8_t> c(PacketSize, 0);
    for (int i = 3; i < 3 + 129; ++i)
        c[size_t(i)] = 0xFF;
    c[200] = 0x80;
    SetPacketChecksum(c.data());
    EXPECT_EQ(c[259], 0xFF);
    EXPECT_EQ(c[260], 0x80);
    f = Encode(c);
    EXPECT_EQ(f[297], 0xFF);
    EXPECT_EQ(f[298], 0x80);
    EXPECT_EQ(f[299], 0x83);

    // The command, parameter and group bytes of a block packet.
    std::vector<uint8_t> b(PacketSize, 0);
    b[0] = 13;
    b[1] = 0x2C;
    b[2] = 0x81;
    SetPacketChecksum(b.data());
    f = Encode(b);
    EXPECT_EQ(f[1], 0x8D);
    EXPECT_EQ(f[2], 0xAC);
    EXPECT_EQ(f[3], 0x81);
    EXPECT_EQ(f[8], 0x80 | 0x04); // top bit of payload byte 2
}

TEST(Frame, RoundTripAndChecksumErrors) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> p(PacketSize);
        for (int i = 0; i < PayloadSize; ++i)
            p[size_t(i)] = uint8_t(rng());
        SetPacketChecksum(p.data());
        std::vector<uint8_t> f = Encode(p);
        for (int i = 1; i <= 299; ++i)
            ASSERT_GE(f[size_t(i)], 0x80) << i;
        std::vector<uint8_t> back(PacketSize);
        ASSERT_TRUE(DecodeFrame(f.data(), back.data()));
        ASSERT_EQ(back, p);
        // Any single changed data bit inside the frame is caught by the checksum.
        size_t at = 1 + rng() % 296;
        f[at] ^= uint8_t(1 << (rng() % 7));
        EXPECT_FALSE(DecodeFrame(f.data(), back.data())) << at;
    }
}

TEST(Frame, Bcd) {
    struct Case {
        unsigned value;
        uint8_t bcd;
    } bytes[] = {{2026, 0x26}, {7, 0x07}, {59, 0x59}, {100, 0x00}, {12, 0x12}};
    for (const Case& c : bytes)
        EXPECT_EQ(ByteToBcd(c.value), c.bcd) << c.value;
    struct Packed {
        uint32_t value;
        std::vector<uint8_t> bytes;
    } packed[] = {{731, {0x31, 0x07, 0x00, 0x00}},
                  {5713, {0x13, 0x57, 0x00, 0x00}},
                  {12345678, {0x78, 0x56, 0x34, 0x12}},
                  {0, {0, 0, 0, 0}}};
    for (const Packed& c : packed) {
        uint8_t out[4];
        PackBcd(c.value, out);
        EXPECT_EQ(std::vector<uint8_t>(out, out + 4), c.bytes) << c.value;
    }
}

// An answer frame for a request header 0x8B 0x85 0x80 (command 11, block 5).
std::vector<uint8_t> Answer(uint8_t fill) {
    std::vector<uint8_t> p(PacketSize, fill);
    p[0] = 11;
    p[1] = 5;
    p[2] = 0;
    SetPacketChecksum(p.data());
    return Encode(p);
}

TEST(Receiver, FramesFromChunks) {
    const std::vector<uint8_t> good = Answer(0x5A);
    auto cat = [](std::initializer_list<std::vector<uint8_t>> parts) {
        std::vector<uint8_t> all;
        for (const auto& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    std::vector<uint8_t> badInside = good;
    badInside[150] = 0x41;
    std::vector<uint8_t> otherHeader = Answer(0x5A);
    otherHeader[2] = 0x86;
    struct Case {
        const char* name;
        std::vector<uint8_t> stream;
        bool complete;
    } cases[] = {
        {"plain", good, true},
        {"noise before the start", cat({{0x11, 0x90, 0x00, 0xFF, 0x04}, good}), true},
        {"start marker inside the header", cat({{0x03, 0x8B}, good}), true},
        {"start marker at the third header byte", cat({{0x03, 0x8B, 0x85}, good}), true},
        {"a byte below 0x80 inside", badInside, false},
        {"a broken frame, then a whole one", cat({badInside, good}), true},
        {"another header", otherHeader, false},
        {"no end marker", std::vector<uint8_t>(good.begin(), good.end() - 1), false},
    };
    for (const Case& c : cases) {
        // Feed in every chunking from one byte at a time to all at once.
        for (size_t chunk : {size_t(1), size_t(3), size_t(64), size_t(4096)}) {
            TAnswerReceiver rx;
            rx.ExpectFrame = true;
            std::copy(good.begin() + 1, good.begin() + 4, rx.ExpectHeader);
            int completed = 0;
            for (size_t at = 0; at < c.stream.size(); at += chunk)
                completed += rx.Feed(c.stream.data() + at, std::min(chunk, c.stream.size() - at));
            EXPECT_EQ(rx.AnswerState == 1, c.complete) << c.name << " chunk " << chunk;
            if (c.complete) {
                EXPECT_EQ(completed, FrameSize) << c.name;
                EXPECT_EQ(std::vector<uint8_t>(rx.FrameBuf, rx.FrameBuf + FrameSize), good)
                    << c.name;
            }
        }
    }
}

TEST(Receiver, AnswerBytes) {
    struct Case {
        std::vector<uint8_t> stream;
        int state;
        uint8_t byte;
    } cases[] = {
        {{0x02}, 1, 0x02},
        {{0x55}, 1, 0x55},
        {{0x03, 0x8E, 0x81, 0x80, 0x11, 0x02}, 1, 0x02}, // an echo of the request is ignored
        {{0x13, 0x11, 0x00}, 0, 0},
        {{0x55, 0x02}, 1, 0x55}, // the first answer byte counts
    };
    for (const Case& c : cases) {
        TAnswerReceiver rx;
        rx.Feed(c.stream.data(), c.stream.size());
        EXPECT_EQ(rx.AnswerState, c.state);
        EXPECT_EQ(rx.AnswerByte, c.byte);
    }
    // After an answer, further chunks are ignored until the next reset.
    TAnswerReceiver rx;
    uint8_t ack = 0x02, refuse = 0x55;
    EXPECT_EQ(rx.Feed(&ack, 1), 1);
    EXPECT_EQ(rx.Feed(&refuse, 1), 0);
    EXPECT_EQ(rx.AnswerByte, 0x02);
}

} // namespace
