#pragma once
// The IBus protocol component: packets, frames, answers, retries, the baud-rate search, the
// trace, and the register operations the transfer flows call.
//
// A connection, as every flow runs it (transfer/RegisterConnection does the opening):
//     bus.SetCommName(port); bus.SetBaudRate(rate);
//     bus.SetActive(true);                 // throws ECommsError after ShowErrorBox
//     if (!bus.Connect(RegisterAddress, false)) { ...; bus.SetActive(false); }
//     bus.WriteBlock(cmd, n, block) / bus.ReadBlock(cmd, n) -> the answer's block
//     bus.Disconnect(RegisterAddress, EndStatusDone); bus.SetActive(false); // writes TraceFile
// Every operation runs on the thread the component lives on and returns when its exchange is
// over; its waits keep processing events, so a Cancel button (or a signal handler's notifier)
// can call Abort() meanwhile. An operation called from inside such a wait is refused (returns
// false) instead of nesting.

#include "IBusNames.h"
#include "SPComm.h"

#include <QObject>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QEventLoop;
class QTimer;

// ---- Packets and frames (pure functions, shared with the simulated register) ----

// Sum of payload bytes 0 to 258, modulo 65536.
uint16_t PayloadChecksum(const uint8_t* packet);
// Stores the checksum of payload bytes 0 to 258 at bytes 259 and 260, low byte first.
void SetPacketChecksum(uint8_t* packet);
// packet bytes 0 to 260 -> frame bytes 0 to 300.
void EncodeFrame(const uint8_t* packet, uint8_t* frame);
// frame bytes 0 to 300 -> packet bytes 0 to 260. Returns false on a checksum mismatch.
bool DecodeFrame(const uint8_t* frame, uint8_t* packet);

// The two lowest decimal digits of v as one BCD byte.
uint8_t ByteToBcd(unsigned v);
// 8 decimal digits in 4 bytes, lowest pair first (731 -> 31 07 00 00).
void PackBcd(uint32_t value, uint8_t* out);

// Collects an answer from received chunks: one acknowledge/refuse byte, or a frame whose
// header repeats ExpectHeader. Bytes that do not fit are dropped and the frame restarts at the
// next start marker.
class TAnswerReceiver {
public:
    bool ExpectFrame = false;
    uint8_t ExpectHeader[3]{};
    int AnswerState = -1; // -1 nothing yet, 0 receiving, 1 complete
    uint8_t AnswerByte = 0;
    int RxPos = 0;
    uint8_t FrameBuf[FrameSize]{};

    void Reset() {
        AnswerState = -1;
        AnswerByte = 0;
        RxPos = 0;
    }
    // Returns the length of the answer completed by this chunk (1 or FrameSize), else 0.
    int Feed(const uint8_t* bytes, size_t count);
};

// ---- The seam between the protocol and the bytes ----

// What the protocol needs of a port. TCommLink runs it over TComm; tests use in-memory links.
class TPortLink {
public:
    virtual ~TPortLink() = default;
    virtual void SetName(const std::string& name) = 0;
    virtual void Open() = 0; // throws ECommsError
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual bool Write(const uint8_t* bytes, uint16_t count) = 0;
    virtual void SetRate(uint32_t rate) = 0;
    virtual uint32_t Rate() const = 0;
    // The length of the answer now awaited, so a link may deliver it in one piece.
    virtual void SetAnswerLength(size_t) {}
    // The device the last Open opened, empty where the link has none.
    virtual std::string DevicePath() const { return {}; }

    // Raised on the user-interface thread.
    std::function<void(const uint8_t* bytes, uint16_t count)> DataArrived;
    std::function<void()> QueueDrained;
    std::function<void()> HungUp;
};

class TCommLink : public TPortLink {
public:
    TCommLink();
    TComm& Comm() { return comm_; }
    void SetName(const std::string& name) override { comm_.SetCommName(name); }
    void Open() override { comm_.OpenPort(); }
    void Close() override { comm_.ClosePort(); }
    bool IsOpen() const override { return comm_.IsOpen(); }
    bool Write(const uint8_t* bytes, uint16_t count) override {
        return comm_.WriteData(bytes, count);
    }
    void SetRate(uint32_t rate) override { comm_.SetBaudRate(rate); }
    uint32_t Rate() const override { return comm_.BaudRate(); }
    void SetAnswerLength(size_t bytes) override { comm_.SetReceiveThreshold(bytes); }
    std::string DevicePath() const override { return comm_.DevicePath(); }

private:
    TComm comm_;
};

// ---- The protocol component ----

enum TBaudRate { tbr9600, tbr19200, tbr38400, tbr57600, tbr115200 };
enum TBroadCastScaleType { tbs1024, tbs5120 };

// Results of WaitAnswer.
enum TAnswerCode {
    AnswerAborted = -3, // Abort, or the port is dead (hung up, or it stopped sending)
    AnswerNone = -2,    // nothing within the time (in broadcast mode 1 instead)
    AnswerRefused = -1, // 0x55
    AnswerAcked = 1,    // 0x02
    AnswerFrame = 2,    // a frame with the expected header
};

class TTolvIBusComm : public QObject {
public:
    // Runs over its own TComm with the protocol's line settings.
    explicit TTolvIBusComm(QObject* parent = nullptr);
    // Runs over the given link (tests).
    explicit TTolvIBusComm(std::unique_ptr<TPortLink> link, QObject* parent = nullptr);
    ~TTolvIBusComm() override;

    // -- Published properties --
    const std::string& CommName() const { return commName_; }
    void SetCommName(const std::string& name) { commName_ = name; }
    bool isActive() const { return active_; }
    TBaudRate BaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate rate); // also sets the port's rate at once; 0 to 4 only
    int RetryInterval = 800;          // ms, answer time of one attempt
    int RetryCount() const { return retryCount_; }
    void SetRetryCount(int count) {
        retryCount_ = count < 0 ? 0 : count > MaxRetryCount ? MaxRetryCount : count;
    }
    bool BroadCast = false;
    int BroadCastInterval = 200; // ms
    TBroadCastScaleType BroadCastScaleType = tbs1024;
    bool TraceOn = false;

    // -- Data areas --
    // The block moved last: what WriteBlock sent, or what ReadBlock received. A ReadBlock
    // without a request of its own carries it as its request data, as the register expects.
    uint8_t DataBuf[DataBufSize]{};
    uint8_t IdentRecord[64]{};
    std::vector<std::string> TraceLines;
    // Broadcast targets (all zero: this system never enables broadcast mode).
    std::array<uint32_t, 56> BroadCastAddresses{};

    // Tells the user that the port could not be opened: the text, and the failure with the
    // system's reason. The window program shows an error box, the command line writes stderr.
    std::function<void(const std::string& text, const ECommsError& error)> ShowErrorBox;
    // Told after every successful open, with the device opened (empty over a link without one);
    // where a face looks at the port's own settings, such as an adapter's latency timer.
    std::function<void(const std::string& devicePath)> PortOpened;
    // Told of every data block that went through: a read's answer, or a write the register
    // acknowledged. The journal counts them and keeps the sales the register sent.
    std::function<void(uint8_t command, uint16_t blockNo, const Block& data, bool written)>
        BlockMoved;
    // Bytes put on the line and taken from it since the component was made, retries included.
    uint64_t BytesSent() const { return bytesSent_; }
    uint64_t BytesReceived() const { return bytesReceived_; }
    // Where SetActive(false) writes the trace (DEBUG.LOG in the program directory); empty
    // writes nothing.
    std::string TraceFile;

    // Every protocol interval (answer times, pauses, wait limits) passes through Interval();
    // tests shrink them with TimeScale, the program keeps 1.
    double TimeScale = 1.0;
    int Interval(int ms) const;

    // -- Operations (true = done) --
    // true: opens the port (closing it first when active); on failure shows "Error opening "
    // CommName "!" CR LF "please select other ports." and rethrows the ECommsError.
    // false: closes the port and writes TraceLines to TraceFile.
    // Returns false only when refused inside a wait.
    bool SetActive(bool active);
    bool Connect(uint32_t address, bool programMode);
    bool Handshake(uint32_t address, bool programMode);
    bool ReadIdentification();
    bool Disconnect(uint32_t address, uint8_t status); // true unless refused inside a wait
    bool WriteBlock(uint8_t command, uint16_t blockNo, std::span<const uint8_t, BlockSize> data);
    // The answer's data; nullopt on failure. The request carries the block moved last.
    std::optional<Block> ReadBlock(uint8_t command, uint16_t blockNo);
    // The same with request data of its own (a memory page, the identification).
    std::optional<Block> ReadBlock(uint8_t command, uint16_t blockNo, const Block& request);
    // DataBuf's block: what the last WriteBlock sent or the last ReadBlock left there.
    Block DataBlock() const;
    bool BeginProgramLoad(uint16_t value);
    bool EndProgramLoad(uint16_t value);
    bool SendWakeBurst();
    bool SendDoubleWakeBurst();
    bool WaitSeconds(int seconds);
    // Ends the wait or exchange in progress with failure, at once.
    void Abort();

    // -- Packet layer (used by the operations; public for tests) --
    int WaitAnswer(int ms);
    bool SendWithAck();       // sends WorkPacket, awaits 0x02 with retries
    bool RequestWithAnswer(); // sends RequestPacket, awaits a frame with retries
    bool HandshakeExchange(bool programMode);
    void EndOfConnectionExchange(const uint8_t* packet);
    uint8_t WorkPacket[WorkAreaSize]{};
    uint8_t RequestPacket[WorkAreaSize]{};
    uint8_t FrameBuf[WireFrameSize]{};
    bool Failed = false;
    bool ChecksumError = false;
    // True after the port hung up or stopped sending; cleared by the next open. Every wait on
    // such a port fails at once instead of spending its retries.
    bool PortDead() const { return portDead_; }
    TPortLink& Link() { return *link_; }
    // The TComm of the default link, else nullptr.
    TComm* Comm() const { return comm_; }
    bool InWait() const { return inWait_; }

private:
    void Init();
    void SendFrame(const uint8_t* bytes, int count);
    // Frames WorkPacket, sends it with its trailing 0xFF and gets ready for the answer: an
    // acknowledge byte, or a frame repeating the packet's header.
    void SendWorkPacket(bool expectFrame);
    bool WaitSent(bool answerEnds);
    bool SendBurst();
    template <typename Done> void RunUntil(Done done);
    void Wake();
    void HandleReceiveData(const uint8_t* bytes, uint16_t count);
    void HandleSendDataEmpty();
    void HandleHangup();
    void TraceBytes(const char* title, const uint8_t* bytes, int count);
    void TraceRetry(int n);
    void BuildBlockPacket(uint8_t* packet, uint8_t command, uint16_t blockNo);
    std::optional<Block> RequestBlock(uint8_t command, uint16_t blockNo);
    bool SendMarker(uint16_t marker, uint16_t value);
    void WriteDebugLog();

    std::unique_ptr<TPortLink> link_;
    TComm* comm_ = nullptr;
    std::string commName_ = "COM2";
    TBaudRate baudRate_ = tbr9600;
    int retryCount_ = 6;
    bool active_ = false;
    TAnswerReceiver rx_;
    bool sendDone_ = true;
    bool timedOut_ = false;
    bool sendLimitPassed_ = false;
    bool portDead_ = false;
    bool writeRefused_ = false;
    int bytesInFlight_ = 0;
    uint64_t bytesSent_ = 0;
    uint64_t bytesReceived_ = 0;
    bool inWait_ = false;
    QEventLoop* loop_ = nullptr;
    QTimer* answerTimer_ = nullptr;
    QTimer* sendTimer_ = nullptr;
};
