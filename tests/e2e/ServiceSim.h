#pragma once
// Helpers of the service flow tests: a progress window that records what it is told, and the
// packets a run sent, read back from its DEBUG.LOG trace.

#include "Progress.h"
#include "TolvIBus.h"

#include <sstream>
#include <string>
#include <vector>

struct RecordingProgress : TProgress {
    std::vector<std::string> texts; // error texts start with "!"
    int shows = 0;
    int total = -1;
    int current = 0;
    int waits = 0;
    bool visible = false;
    ProgressStates state = ProgressStates::Closed;

    void Show() override {
        ++shows;
        visible = true;
        state = ProgressStates::Running;
    }
    void Close() override {
        visible = false;
        state = ProgressStates::Closed;
    }
    void ShowStatus(StatusKind kind, const std::string& text) override {
        if (state == ProgressStates::Closed)
            return;
        texts.push_back(kind == StatusError ? "!" + text : text);
        state = kind == StatusError ? ProgressStates::ErrorShown : ProgressStates::Running;
    }
    void SetTotalPackages(int n) override { total = n; }
    int cancelAtPackage = -1; // the user presses Cancel as this package starts
    void SetCurrentPackage(int n) override {
        current = n;
        if (n == cancelAtPackage)
            Close();
    }
    ProgressStates ProgressState() const override { return state; }
    // The user presses OK at once.
    void WaitForClose() override {
        if (state == ProgressStates::Closed)
            return;
        ++waits;
        Close();
    }
};

struct SentPacket {
    int command = -1; // -1: a wake burst
    int param = 0;
    std::vector<uint8_t> data; // 256 bytes
    std::string Key() const {
        return command < 0 ? "wake" : std::to_string(command) + "." + std::to_string(param);
    }
};

// The frames and bursts of "Send data" entries of a trace, in order.
inline std::vector<SentPacket> SentPackets(const std::string& log) {
    std::vector<SentPacket> packets;
    std::istringstream in(log);
    std::string line;
    bool inSend = false;
    std::vector<uint8_t> bytes;
    auto finish = [&] {
        if (bytes.size() == WireFrameSize) {
            uint8_t packet[PacketSize];
            if (DecodeFrame(bytes.data(), packet)) {
                SentPacket p;
                p.command = packet[0];
                p.param = packet[1] | packet[2] << 8;
                p.data.assign(packet + 3, packet + 259);
                packets.push_back(std::move(p));
            }
        } else if (bytes.size() == 64) {
            packets.push_back(SentPacket{});
        }
        bytes.clear();
    };
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find("Send data") != std::string::npos) {
            inSend = true;
            continue;
        }
        if (line.empty() || line.find("<<") != std::string::npos || line[0] == 'R') {
            if (inSend)
                finish();
            inSend = false;
            continue;
        }
        if (inSend) {
            std::istringstream hex(line);
            unsigned value;
            while (hex >> std::hex >> value)
                bytes.push_back(uint8_t(value));
        }
    }
    if (inSend)
        finish();
    return packets;
}

inline std::vector<std::string> Keys(const std::vector<SentPacket>& packets) {
    std::vector<std::string> keys;
    for (const SentPacket& p : packets)
        keys.push_back(p.Key());
    return keys;
}
