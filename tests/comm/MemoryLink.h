#pragma once
// An in-memory port for protocol tests: records what is sent (with the rate and the time) and
// lets a scripted peer answer through the event loop, like the real port's notices.

#include "TolvIBus.h"

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <vector>

class TMemoryLink : public TPortLink {
public:
    struct Sent {
        std::vector<uint8_t> bytes;
        uint32_t rate;
        qint64 atMs;
    };
    std::vector<Sent> sent;
    // Called for every write; answers with Deliver().
    std::function<void(TMemoryLink& link, const std::vector<uint8_t>& bytes)> Peer;
    bool drains = true; // report the queue drained after each write
    int drainDelayMs = 0;
    bool openFails = false;

    TMemoryLink() { clock_.start(); }
    void SetName(const std::string& name) override { name_ = name; }
    void Open() override {
        if (openFails)
            throw ECommsError("Error opening serial port");
        open_ = true;
        hungUp_ = false;
    }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool Write(const uint8_t* bytes, uint16_t count) override {
        if (!open_ || hungUp_ || count == 0)
            return false;
        sent.push_back({std::vector<uint8_t>(bytes, bytes + count), rate_, clock_.elapsed()});
        if (drains)
            QTimer::singleShot(drainDelayMs, [this] { QueueDrained(); });
        if (Peer)
            Peer(*this, sent.back().bytes);
        return true;
    }
    void SetRate(uint32_t rate) override { rate_ = rate; }
    uint32_t Rate() const override { return rate_; }

    void Deliver(std::vector<uint8_t> bytes, int delayMs = 0) {
        QTimer::singleShot(delayMs, [this, bytes] {
            if (open_)
                DataArrived(bytes.data(), uint16_t(bytes.size()));
        });
    }
    void HangUp(int delayMs) {
        QTimer::singleShot(delayMs, [this] {
            hungUp_ = true;
            HungUp();
        });
    }
    // Frames sent (302 bytes), ignoring wake bursts.
    int Frames() const {
        int n = 0;
        for (const Sent& s : sent)
            n += s.bytes.size() == WireFrameSize;
        return n;
    }
    const std::string& Name() const { return name_; }

private:
    QElapsedTimer clock_;
    std::string name_;
    bool open_ = false;
    bool hungUp_ = false;
    uint32_t rate_ = 9600;
};

// The packet inside a sent frame.
inline std::vector<uint8_t> PacketOf(const std::vector<uint8_t>& wire) {
    std::vector<uint8_t> packet(PacketSize);
    DecodeFrame(wire.data(), packet.data());
    return packet;
}

// The frame answering a request: same header, the given data.
inline std::vector<uint8_t> FrameAnswering(const std::vector<uint8_t>& requestWire,
                                           const std::vector<uint8_t>& data) {
    std::vector<uint8_t> packet = PacketOf(requestWire);
    std::fill(packet.begin() + 3, packet.end(), 0);
    std::copy(data.begin(), data.end(), packet.begin() + 3);
    SetPacketChecksum(packet.data());
    std::vector<uint8_t> frame(FrameSize);
    EncodeFrame(packet.data(), frame.data());
    return frame;
}
