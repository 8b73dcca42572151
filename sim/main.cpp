// quorve-sim: a simulated register at the far end of a pseudo-terminal.
//
//   quorve-sim --link PATH [--rate INDEX] [--state FILE] [--wire-time] [--cfg FILE [--port COMn]]
//              [--silent N] [--refuse N] [--bad-checksum N] [--noise N] [--split] [--late MS]
//              [--hangup-after K] [--faults-after K] [--address N]
//
// Faults: --silent N leaves the next N requests unanswered, --refuse N refuses them with 0x55,
// --bad-checksum N spoils the checksum of the next N answer frames, --noise N puts N stray bytes
// before every answer, --split sends answers in small chunks with short gaps, --late MS delays
// every answer, --hangup-after K answers K frames and hangs the line up at the next one.
// --faults-after K lets the first K frames through unharmed (silent, refuse, bad-checksum).
//
// The slave side of the pseudo-terminal is published as the symlink PATH; "READY <slave>" on
// standard output says the link exists. A frame is answered only when the line speed the program
// set on the slave is the one the register listens at (re-read for every frame), so a baud-rate
// search really has to search. --cfg writes [Ports] COMn=PATH into that SYSTEM.CFG.

#include "Ini.h"
#include "RegisterState.h"
#include "SPComm.h"
#include "TolvIBus.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <string>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using Nanos = std::chrono::nanoseconds;

struct Options {
    std::string link;
    int rate = 0;
    std::string statePath;
    bool wireTime = false;
    std::string cfg;
    std::string port = "COM2";
    int silent = 0;
    int refuse = 0;
    int badChecksum = 0;
    int noise = 0;
    bool split = false;
    int lateMs = 0;
    int hangupAfter = -1;
    int faultsAfter = 0;
    uint32_t address = RegisterAddress;
};

struct Output {
    std::vector<uint8_t> bytes;
    size_t sent = 0;
    Clock::time_point start;     // when the first byte starts on the wire
    Nanos byteTime{0};           // 0: no pacing
    Clock::time_point holdUntil; // split mode: pause between chunks
    Clock::time_point lastWrite;
    size_t chunkEnd = 0;
    int newRate = -1; // rate to take once this output is out (handshake answer)
};

// Installed, the program is named quorve-plu-training-register.
void Usage(FILE* stream, const char* program) {
    const char* slash = std::strrchr(program, '/');
    std::fprintf(stream,
                 "usage: %s --link PATH [--rate INDEX] [--state FILE] [--wire-time]\n"
                 "       [--cfg FILE [--port COMn]] [--silent N] [--refuse N] [--bad-checksum N]\n"
                 "       [--noise N] [--split] [--late MS] [--hangup-after K] [--faults-after K]\n"
                 "       [--address N]\n",
                 slash ? slash + 1 : program);
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        auto nextInt = [&](int& out) {
            std::string v;
            if (!next(v))
                return false;
            char* end = nullptr;
            long n = std::strtol(v.c_str(), &end, 10);
            if (*end || n < 0)
                return false;
            out = int(n);
            return true;
        };
        bool ok = true;
        if (a == "--link")
            ok = next(o.link);
        else if (a == "--rate")
            ok = nextInt(o.rate) && o.rate <= 4;
        else if (a == "--state")
            ok = next(o.statePath);
        else if (a == "--wire-time")
            o.wireTime = true;
        else if (a == "--cfg")
            ok = next(o.cfg);
        else if (a == "--port")
            ok = next(o.port);
        else if (a == "--silent")
            ok = nextInt(o.silent);
        else if (a == "--refuse")
            ok = nextInt(o.refuse);
        else if (a == "--bad-checksum")
            ok = nextInt(o.badChecksum);
        else if (a == "--noise")
            ok = nextInt(o.noise);
        else if (a == "--split")
            o.split = true;
        else if (a == "--late")
            ok = nextInt(o.lateMs);
        else if (a == "--hangup-after")
            ok = nextInt(o.hangupAfter);
        else if (a == "--faults-after")
            ok = nextInt(o.faultsAfter);
        else if (a == "--address") {
            int v = 0;
            ok = nextInt(v);
            o.address = uint32_t(v);
        } else
            ok = false;
        if (!ok)
            return false;
    }
    return !o.link.empty();
}

uint32_t SpeedOf(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return 0;
    speed_t s = cfgetospeed(&tio);
    for (uint32_t rate : {WakeRate, 9600u, 19200u, 38400u, 57600u, 115200u})
        if (TComm::SpeedConstant(rate) == s)
            return rate;
    return 0;
}

Nanos ByteTime(uint32_t rate) {
    return Nanos(10'000'000'000LL / rate);
}

class Simulator {
public:
    explicit Simulator(Options o) : opt_(std::move(o)), rng_(std::random_device{}()) {}
    int Run();

private:
    bool OpenLink();
    void OnBytes(const uint8_t* bytes, size_t count, Clock::time_point now);
    void OnFrame(Clock::time_point now);
    void RecordDisconnect(const uint8_t* packet);
    void Queue(std::vector<uint8_t> bytes, Clock::time_point at, int newRate);
    void Pump(Clock::time_point now);
    Clock::time_point NextDue() const;
    void SaveState();
    void Cleanup();

    Options opt_;
    std::mt19937 rng_;
    TRegisterState state_ = TRegisterState::Default();
    TSession session_;
    int master_ = -1;
    int slave_ = -1;
    bool linkMade_ = false;
    int linkRate_ = 0; // index the register talks at
    uint8_t frame_[FrameSize]{};
    int pos_ = 0;
    Clock::time_point frameStart_;
    uint32_t frameSpeed_ = 0;
    int wakeRun_ = 0;
    uint32_t wakeSpeed_ = 0;
    int framesAnswered_ = 0;
    bool hangup_ = false;
    bool dirty_ = false;
    Clock::time_point lastActivity_;
    std::deque<Output> out_;
};

bool Simulator::OpenLink() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        return false;
    const char* name = ptsname(master_);
    if (!name)
        return false;
    std::string slaveName = name;
    // Our own descriptor of the slave keeps the pair alive while the program has it closed.
    slave_ = open(slaveName.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0)
        return false;
    termios tio{};
    tcgetattr(slave_, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, TComm::SpeedConstant(BaudTable[size_t(opt_.rate)]));
    cfsetospeed(&tio, TComm::SpeedConstant(BaudTable[size_t(opt_.rate)]));
    tcsetattr(slave_, TCSANOW, &tio);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    unlink(opt_.link.c_str());
    if (symlink(slaveName.c_str(), opt_.link.c_str()) != 0)
        return false;
    linkMade_ = true;
    if (!opt_.cfg.empty()) {
        IniFile cfg(opt_.cfg);
        cfg.WriteString("Ports", opt_.port, opt_.link);
        if (!cfg.Save())
            return false;
    }
    std::printf("READY %s\n", slaveName.c_str());
    std::fflush(stdout);
    return true;
}

void Simulator::SaveState() {
    if (!opt_.statePath.empty() && dirty_)
        state_.Save(opt_.statePath);
    dirty_ = false;
}

void Simulator::Cleanup() {
    SaveState();
    if (linkMade_)
        unlink(opt_.link.c_str());
    if (master_ >= 0)
        close(master_);
    if (slave_ >= 0)
        close(slave_);
}

void Simulator::OnBytes(const uint8_t* bytes, size_t count, Clock::time_point now) {
    for (size_t i = 0; i < count; ++i) {
        uint8_t b = bytes[i];
        if (b == WakeByte) {
            // The speed is taken as the run starts: the program may switch back right after
            // handing the burst to its port.
            if (++wakeRun_ == 1)
                wakeSpeed_ = SpeedOf(master_);
            if (wakeRun_ % WakeBurstLength == 0 && wakeSpeed_ == WakeRate) {
                ++state_.wakeBursts;
                session_.wakeHeard = true;
                dirty_ = true;
            }
        } else {
            wakeRun_ = 0;
        }
        if (pos_ > 0 && pos_ < 300 && b >= 0x80) {
            frame_[pos_++] = b;
        } else if (pos_ == 300 && b == FrameEnd) {
            frame_[300] = b;
            pos_ = 0;
            OnFrame(now);
        } else if (b == FrameStart) {
            frame_[0] = b;
            pos_ = 1;
            frameStart_ = now;
            frameSpeed_ = SpeedOf(master_);
        } else {
            pos_ = 0;
        }
    }
}

void Simulator::OnFrame(Clock::time_point now) {
    uint8_t packet[PacketSize];
    if (!DecodeFrame(frame_, packet))
        return; // a garbled request goes unanswered, as on a noisy line
    RecordDisconnect(packet);
    uint32_t speed = SpeedOf(master_);
    bool handshake =
        packet[0] == CmdConnection && packet[1] == ConnectionHandshake && packet[2] == 0;
    uint32_t linkRate = BaudTable[size_t(linkRate_)];
    bool rateOk = speed == frameSpeed_ &&
                  (speed == linkRate || (handshake && speed == BaudTable[size_t(opt_.rate)]));
    if (!rateOk)
        return; // at another speed the register hears only noise

    if (opt_.hangupAfter >= 0 && framesAnswered_ >= opt_.hangupAfter) {
        hangup_ = true;
        return;
    }
    bool faults = framesAnswered_ >= opt_.faultsAfter;
    ++framesAnswered_;
    if (faults && opt_.silent > 0) {
        --opt_.silent;
        return;
    }
    // The answer starts once the request and its trailing byte have crossed the wire.
    Clock::time_point at = now;
    if (opt_.wireTime)
        at = std::max(now, frameStart_ + ByteTime(speed) * int64_t(WireFrameSize));
    at += std::chrono::milliseconds(opt_.lateMs);
    if (faults && opt_.refuse > 0) {
        --opt_.refuse;
        Queue({AnswerRefuse}, at, -1);
        return;
    }
    TReply reply = HandlePacket(state_, session_, packet);
    if (reply.changed)
        dirty_ = true;
    std::vector<uint8_t> bytes;
    switch (reply.kind) {
    case TReply::Silence:
        return;
    case TReply::Ack:
        bytes = {AnswerAck};
        break;
    case TReply::Refuse:
        bytes = {AnswerRefuse};
        break;
    case TReply::Frame: {
        if (faults && opt_.badChecksum > 0) {
            --opt_.badChecksum;
            reply.packet[259] ^= 0x01;
        }
        bytes.resize(FrameSize);
        EncodeFrame(reply.packet.data(), bytes.data());
        break;
    }
    }
    if (reply.endOfConnection)
        linkRate_ = opt_.rate;
    Queue(std::move(bytes), at, reply.newRateIndex);
}

// Every end-of-connection packet on the line is kept with its status, also those sent at a rate
// the register does not listen at (after the first one it is back at its idle rate), so a test
// can see how a connection was ended.
void Simulator::RecordDisconnect(const uint8_t* packet) {
    if (packet[0] == CmdConnection && packet[1] == ConnectionEnd && packet[2] == 0) {
        // The latest ones are enough to see how connections ended; the file must not grow.
        if (state_.disconnects.size() >= 64)
            state_.disconnects.erase(state_.disconnects.begin());
        state_.disconnects.push_back(packet[7]);
        dirty_ = true;
    }
}

void Simulator::Queue(std::vector<uint8_t> bytes, Clock::time_point at, int newRate) {
    std::vector<uint8_t> all;
    for (int i = 0; i < opt_.noise; ++i) {
        uint8_t b = uint8_t(rng_());
        if (b == AnswerAck || b == AnswerRefuse || b == FrameEnd || b == WakeByte)
            b = 0x11;
        all.push_back(b);
        if (b == FrameStart)
            all.push_back(0x00); // a false start the receiver must drop
    }
    all.insert(all.end(), bytes.begin(), bytes.end());
    Output o;
    o.bytes = std::move(all);
    o.start = at;
    o.byteTime = opt_.wireTime ? ByteTime(BaudTable[size_t(linkRate_)]) : Nanos(0);
    o.holdUntil = at;
    o.newRate = newRate;
    out_.push_back(std::move(o));
}

void Simulator::Pump(Clock::time_point now) {
    while (!out_.empty()) {
        Output& o = out_.front();
        if (now < o.start || now < o.holdUntil)
            return;
        size_t due = o.bytes.size();
        if (o.byteTime.count() > 0)
            due = std::min(due, size_t((now - o.start) / o.byteTime));
        if (opt_.split) {
            if (o.chunkEnd <= o.sent)
                o.chunkEnd = o.sent + 1 + rng_() % 16;
            due = std::min(due, o.chunkEnd);
        }
        if (due > o.sent) {
            ssize_t n = write(master_, o.bytes.data() + o.sent, due - o.sent);
            if (n > 0) {
                o.sent += size_t(n);
                o.lastWrite = now;
                if (opt_.split && o.sent >= o.chunkEnd)
                    o.holdUntil = now + std::chrono::microseconds(200 + rng_() % 1500);
            }
        }
        if (o.sent < o.bytes.size())
            return;
        if (o.newRate >= 0)
            linkRate_ = o.newRate;
        out_.pop_front();
    }
}

// When the next bytes of the head output are due. A paced line is written in bursts at most
// every millisecond, as a UART FIFO or a low-latency USB adapter hands them over, but the
// last byte always goes at its own time.
Clock::time_point Simulator::NextDue() const {
    const Output& o = out_.front();
    Clock::time_point next = std::max(o.start, o.holdUntil);
    if (o.byteTime.count() > 0) {
        Clock::time_point byte = o.start + o.byteTime * int64_t(o.sent + 1);
        if (o.sent + 1 < o.bytes.size())
            byte = std::max(byte, o.lastWrite + std::chrono::milliseconds(1));
        next = std::max(next, byte);
    }
    return next;
}

int Simulator::Run() {
    if (!opt_.statePath.empty() && access(opt_.statePath.c_str(), F_OK) == 0) {
        std::string error;
        if (!state_.Load(opt_.statePath, &error)) {
            std::fprintf(stderr, "quorve-sim: %s\n", error.c_str());
            return 2;
        }
    }
    session_.address = opt_.address;
    // Paced bytes go out at their microsecond, not 50 us late.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    linkRate_ = opt_.rate;
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    int sfd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (!OpenLink()) {
        std::fprintf(stderr, "quorve-sim: cannot set up the link %s: %s\n", opt_.link.c_str(),
                     std::strerror(errno));
        Cleanup();
        return 1;
    }
    uint8_t buffer[4096];
    for (;;) {
        Clock::time_point now = Clock::now();
        Pump(now);
        pollfd fds[2] = {{master_, POLLIN, 0}, {sfd, POLLIN, 0}};
        // Sub-millisecond pacing: ppoll takes nanoseconds.
        timespec ts{};
        timespec* tsp = nullptr;
        if (!out_.empty()) {
            auto ns = std::max<int64_t>(0, (NextDue() - now).count());
            ts.tv_sec = ns / 1'000'000'000;
            ts.tv_nsec = ns % 1'000'000'000;
            tsp = &ts;
        } else if (dirty_) {
            ts.tv_nsec = 100'000'000L; // save once the line has been quiet a while
            tsp = &ts;
        }
        int r = ppoll(fds, 2, tsp, nullptr);
        if (r < 0 && errno != EINTR)
            break;
        now = Clock::now();
        if (r == 0 && out_.empty() && dirty_ && now - lastActivity_ > std::chrono::milliseconds(50))
            SaveState();
        if (fds[1].revents)
            break;
        if (fds[0].revents & POLLIN) {
            ssize_t n = read(master_, buffer, sizeof buffer);
            if (n > 0) {
                lastActivity_ = now;
                OnBytes(buffer, size_t(n), now);
            }
        }
        if (hangup_)
            break;
    }
    Cleanup();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        Usage(stdout, argv[0]);
        return 0;
    }
    if (!ParseOptions(argc, argv, options)) {
        Usage(stderr, argv[0]);
        return 2;
    }
    return Simulator(std::move(options)).Run();
}
