// Received bytes are outside input: whatever arrives, the receiver keeps its position inside the
// frame buffer, completes only frames with the expected header, and decodes them consistently.
#include "TolvIBus.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    TAnswerReceiver rx;
    rx.ExpectFrame = data[0] & 1;
    std::vector<uint8_t> stream;
    if (data[0] & 2) {
        // A real answer frame built from the input, with input bytes around it as noise.
        uint8_t packet[PacketSize]{};
        std::memcpy(packet, data + 3, std::min<size_t>(size - 3, PayloadSize));
        SetPacketChecksum(packet);
        uint8_t frame[FrameSize];
        EncodeFrame(packet, frame);
        std::memcpy(rx.ExpectHeader, frame + 1, 3);
        size_t split = 3 + std::min<size_t>(data[2], size - 3);
        stream.assign(data + 3, data + split);
        stream.insert(stream.end(), frame, frame + FrameSize);
        stream.insert(stream.end(), data + split, data + size);
    } else {
        rx.ExpectHeader[0] = 0x80 | data[1];
        rx.ExpectHeader[1] = 0x80;
        rx.ExpectHeader[2] = 0x80;
        stream.assign(data + 3, data + size);
    }
    size_t at = 0;
    const size_t step = 1 + data[1] % 97;
    while (at < stream.size()) {
        size_t chunk = std::min(step, stream.size() - at);
        int done = rx.Feed(stream.data() + at, chunk);
        if (rx.RxPos < 0 || rx.RxPos > 300)
            std::abort();
        if (done == FrameSize) {
            if (rx.FrameBuf[0] != FrameStart || rx.FrameBuf[300] != FrameEnd ||
                std::memcmp(rx.FrameBuf + 1, rx.ExpectHeader, 3) != 0)
                std::abort();
            uint8_t packet[PacketSize];
            bool ok = DecodeFrame(rx.FrameBuf, packet);
            uint8_t again[FrameSize];
            EncodeFrame(packet, again);
            // Re-encoding a decoded frame gives the frame back, but for the unused bits 2-6 of
            // the checksum's top-bit byte.
            if (std::memcmp(again, rx.FrameBuf, 299) != 0 ||
                again[299] != (rx.FrameBuf[299] & 0x83) || again[300] != FrameEnd)
                std::abort();
            if (ok != (PayloadChecksum(packet) == (packet[259] | packet[260] << 8)))
                std::abort();
            rx.Reset();
        } else if (done == 1 && rx.AnswerByte != AnswerAck && rx.AnswerByte != AnswerRefuse) {
            std::abort();
        }
        at += chunk;
    }
    return 0;
}
