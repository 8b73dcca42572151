#include "TolvIBus.h"

#include "AtomicFile.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

// ---- Packets and frames ----

uint16_t PayloadChecksum(const uint8_t* packet) {
    unsigned sum = 0;
    for (int i = 0; i < PayloadSize; ++i)
        sum += packet[i];
    return uint16_t(sum);
}

void SetPacketChecksum(uint8_t* packet) {
    uint16_t sum = PayloadChecksum(packet);
    packet[259] = uint8_t(sum);
    packet[260] = uint8_t(sum >> 8);
}

void EncodeFrame(const uint8_t* packet, uint8_t* frame) {
    frame[0] = FrameStart;
    // 37 groups: 7 payload bytes without their top bits, then a byte collecting those bits.
    for (int group = 0; group < 37; ++group) {
        const uint8_t* in = packet + 7 * group;
        uint8_t* out = frame + 1 + 8 * group;
        uint8_t tops = 0;
        for (int bit = 0; bit < 7; ++bit) {
            out[bit] = uint8_t(in[bit] | 0x80);
            tops = uint8_t(tops | ((in[bit] >> 7) << bit));
        }
        out[7] = uint8_t(tops | 0x80);
    }
    frame[297] = uint8_t(packet[259] | 0x80);
    frame[298] = uint8_t(packet[260] | 0x80);
    frame[299] = uint8_t(0x80 | (packet[259] >> 7) | ((packet[260] >> 7) << 1));
    frame[300] = FrameEnd;
}

bool DecodeFrame(const uint8_t* frame, uint8_t* packet) {
    unsigned sum = 0;
    for (int group = 0; group < 37; ++group) {
        const uint8_t* in = frame + 1 + 8 * group;
        uint8_t* out = packet + 7 * group;
        const uint8_t tops = in[7];
        for (int bit = 0; bit < 7; ++bit) {
            out[bit] = uint8_t((in[bit] & 0x7F) | (((tops >> bit) & 1) << 7));
            sum += out[bit];
        }
    }
    packet[259] = uint8_t((frame[297] & 0x7F) | ((frame[299] & 1) << 7));
    packet[260] = uint8_t((frame[298] & 0x7F) | ((frame[299] & 2) << 6));
    return uint8_t(sum) == packet[259] && uint8_t(sum >> 8) == packet[260];
}

uint8_t ByteToBcd(unsigned v) {
    return uint8_t(((v / 10) % 10) * 16 + v % 10);
}

void PackBcd(uint32_t value, uint8_t* out) {
    for (int k = 0; k < 4; ++k) {
        unsigned low = value % 10;
        value /= 10;
        unsigned high = value % 10;
        value /= 10;
        out[k] = uint8_t(high << 4 | low);
    }
}

int TAnswerReceiver::Feed(const uint8_t* bytes, size_t count) {
    if (AnswerState == 1)
        return 0;
    AnswerState = 0;
    if (!ExpectFrame) {
        for (size_t i = 0; i < count; ++i) {
            if (bytes[i] == AnswerAck || bytes[i] == AnswerRefuse) {
                AnswerByte = bytes[i];
                AnswerState = 1;
                return 1;
            }
        }
        return 0;
    }
    for (size_t i = 0; i < count; ++i) {
        uint8_t b = bytes[i];
        int p = RxPos;
        bool accepted = (p == 0 && b == FrameStart) ||
                        (p >= 1 && p <= 3 && b == ExpectHeader[p - 1]) ||
                        (p > 3 && p < 300 && b >= 0x80) || (p == 300 && b == FrameEnd);
        if (accepted) {
            FrameBuf[p] = b;
            if (p == 300) {
                AnswerState = 1;
                RxPos = 0;
                return FrameSize;
            }
            RxPos = p + 1;
        } else if (b == FrameStart) {
            FrameBuf[0] = b;
            RxPos = 1;
        } else {
            RxPos = 0;
        }
    }
    return 0;
}

// ---- Port link over TComm ----

TCommLink::TCommLink() {
    // The protocol's line: 8N1, DTR off, RTS on, no output flow control; the rest as TComm has
    // them by default.
    comm_.SetBaudRate(BaudTable[0]);
    comm_.SetDtrControl(TDtrControl::DtrDisable);
    comm_.SetTxContinueOnXoff(false);
    comm_.SetOutx_XonXoffFlow(false);
    comm_.SetIgnoreNullChar(false);
    comm_.SetRtsControl(TRtsControl::RtsEnable);
    comm_.SetByteSize(TByteSize::_8);
    comm_.SetParity(TParity::None);
    comm_.SetStopBits(TStopBits::_1);
    comm_.SetReadIntervalTimeout(1);
    comm_.OnReceiveData = [this](TComm*, const uint8_t* bytes, uint16_t count) {
        if (DataArrived)
            DataArrived(bytes, count);
    };
    comm_.OnSendDataEmpty = [this](TComm*) {
        if (QueueDrained)
            QueueDrained();
    };
    comm_.OnRequestHangup = [this](TComm*) {
        if (HungUp)
            HungUp();
    };
}

// ---- The protocol component ----

TTolvIBusComm::TTolvIBusComm(QObject* parent) : QObject(parent) {
    auto link = std::make_unique<TCommLink>();
    comm_ = &link->Comm();
    link_ = std::move(link);
    Init();
}

TTolvIBusComm::TTolvIBusComm(std::unique_ptr<TPortLink> link, QObject* parent)
    : QObject(parent), link_(std::move(link)) {
    Init();
}

TTolvIBusComm::~TTolvIBusComm() {
    if (link_->IsOpen())
        link_->Close();
}

void TTolvIBusComm::Init() {
    answerTimer_ = new QTimer(this);
    answerTimer_->setSingleShot(true);
    answerTimer_->setTimerType(Qt::PreciseTimer);
    connect(answerTimer_, &QTimer::timeout, this, [this] {
        timedOut_ = true;
        Wake();
    });
    sendTimer_ = new QTimer(this);
    sendTimer_->setSingleShot(true);
    sendTimer_->setTimerType(Qt::PreciseTimer);
    connect(sendTimer_, &QTimer::timeout, this, [this] {
        sendLimitPassed_ = true;
        Wake();
    });
    link_->DataArrived = [this](const uint8_t* bytes, uint16_t count) {
        HandleReceiveData(bytes, count);
    };
    link_->QueueDrained = [this] { HandleSendDataEmpty(); };
    link_->HungUp = [this] { HandleHangup(); };
    link_->SetRate(BaudTable[baudRate_]);
}

int TTolvIBusComm::Interval(int ms) const {
    if (TimeScale == 1.0)
        return ms;
    return std::max(1, int(std::lround(ms * TimeScale)));
}

void TTolvIBusComm::SetBaudRate(TBaudRate rate) {
    if (rate < tbr9600 || rate > tbr115200)
        return;
    baudRate_ = rate;
    link_->SetRate(BaudTable[rate]);
}

void TTolvIBusComm::Wake() {
    if (loop_)
        loop_->quit();
}

template <typename Done> void TTolvIBusComm::RunUntil(Done done) {
    bool outer = inWait_;
    inWait_ = true;
    while (!done()) {
        QEventLoop loop;
        QEventLoop* previous = loop_;
        loop_ = &loop;
        loop.exec();
        loop_ = previous;
    }
    inWait_ = outer;
}

void TTolvIBusComm::Abort() {
    Failed = true;
    Wake();
}

void TTolvIBusComm::HandleReceiveData(const uint8_t* bytes, uint16_t count) {
    bytesReceived_ += count;
    int completed = rx_.Feed(bytes, count);
    if (completed == 0)
        return;
    if (completed == 1)
        TraceBytes(">>>>>>Receive data<<<<<<<<", &rx_.AnswerByte, 1);
    else
        TraceBytes(">>>>>>Receive data<<<<<<<<", rx_.FrameBuf, FrameSize);
    Wake();
}

void TTolvIBusComm::HandleSendDataEmpty() {
    sendDone_ = true;
    bytesInFlight_ = 0;
    Wake();
}

void TTolvIBusComm::HandleHangup() {
    portDead_ = true;
    Failed = true;
    Wake();
}

// ---- Trace ----

void TTolvIBusComm::TraceBytes(const char* title, const uint8_t* bytes, int count) {
    if (!TraceOn)
        return;
    TraceLines.emplace_back(title);
    std::string line;
    char hex[4];
    for (int i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof hex, "%2.2x ", bytes[i]);
        line += hex;
        if (i % 16 == 15) {
            TraceLines.push_back(std::move(line));
            line.clear();
        }
    }
    if (!line.empty())
        TraceLines.push_back(std::move(line));
    TraceLines.emplace_back();
}

void TTolvIBusComm::TraceRetry(int n) {
    if (n <= 0 || !TraceOn)
        return;
    TraceLines.emplace_back();
    TraceLines.push_back("Retry:" + std::to_string(n));
}

void TTolvIBusComm::WriteDebugLog() {
    if (TraceFile.empty())
        return;
    std::string text;
    for (const std::string& line : TraceLines) {
        text += line;
        text += "\r\n";
    }
    WriteFileAtomically(TraceFile, text);
}

// ---- Sending and waiting ----

void TTolvIBusComm::SendFrame(const uint8_t* bytes, int count) {
    sendDone_ = false;
    bytesInFlight_ += count;
    bytesSent_ += uint64_t(count);
    if (!link_->Write(bytes, uint16_t(count)))
        writeRefused_ = true;
    TraceBytes(">>>>>>Send data<<<<<<<<", bytes, count);
}

// Waits until the port reports its queue drained. A port that takes no bytes (closed, its
// transmit thread gone) or does not drain them within twice their wire time and a second is
// dead: the wait fails at once and so does every later one until the port is opened again.
// While an answer is awaited, its arrival ends the wait too: the frame has plainly left, and
// a drain notice that comes a little after the answer (the port looks at its queue once a
// millisecond) would otherwise hold up every exchange.
bool TTolvIBusComm::WaitSent(bool answerEnds) {
    if (writeRefused_) {
        writeRefused_ = false;
        portDead_ = true;
    }
    if (portDead_) {
        Failed = true;
        return false;
    }
    if (!sendDone_) {
        uint32_t rate = link_->Rate() ? link_->Rate() : BaudTable[0];
        int wireMs = int(int64_t(bytesInFlight_) * 10000 / rate);
        sendLimitPassed_ = false;
        sendTimer_->start(2 * wireMs + Interval(1000));
        const auto answered = [this, answerEnds] { return answerEnds && rx_.AnswerState > 0; };
        RunUntil([&] { return sendDone_ || Failed || sendLimitPassed_ || answered(); });
        sendTimer_->stop();
        if (!sendDone_ && !Failed && !answered()) {
            portDead_ = true;
            Failed = true;
        }
    }
    return !Failed;
}

int TTolvIBusComm::WaitAnswer(int ms) {
    Failed = false;
    rx_.Reset();
    if (!WaitSent(true))
        return AnswerAborted;
    timedOut_ = false;
    answerTimer_->start(Interval(ms));
    RunUntil([this] { return timedOut_ || Failed || rx_.AnswerState > 0; });
    answerTimer_->stop();
    if (Failed)
        return AnswerAborted;
    if (timedOut_ && rx_.AnswerState <= 0)
        return BroadCast ? AnswerAcked : AnswerNone;
    if (rx_.AnswerByte == AnswerRefuse)
        return AnswerRefused;
    if (rx_.AnswerByte == AnswerAck)
        return AnswerAcked;
    return AnswerFrame;
}

void TTolvIBusComm::SendWorkPacket(bool expectFrame) {
    EncodeFrame(WorkPacket, FrameBuf);
    FrameBuf[FrameSize] = FrameTrailer;
    if (expectFrame)
        std::memcpy(rx_.ExpectHeader, FrameBuf + 1, 3); // the answer repeats the header
    link_->SetAnswerLength(expectFrame ? FrameSize : 1);
    SendFrame(FrameBuf, WireFrameSize);
    rx_.ExpectFrame = expectFrame;
}

bool TTolvIBusComm::SendWithAck() {
    if (BroadCast) {
        SendWorkPacket(false);
        return WaitAnswer(BroadCastInterval) >= 0;
    }
    for (int n = 0;; ++n) {
        TraceRetry(n);
        SendWorkPacket(false);
        int a = WaitAnswer(RetryInterval);
        if (a == AnswerAcked)
            return true;
        if (Failed || n >= retryCount_) {
            Failed = true;
            return false;
        }
    }
}

bool TTolvIBusComm::RequestWithAnswer() {
    for (int n = 0;; ++n) {
        ChecksumError = false;
        TraceRetry(n);
        std::memcpy(WorkPacket, RequestPacket, PacketSize);
        SendWorkPacket(true);
        int a = WaitAnswer(RetryInterval);
        link_->SetAnswerLength(1);
        if (a == AnswerFrame) {
            ChecksumError = !DecodeFrame(rx_.FrameBuf, WorkPacket);
            if (!ChecksumError)
                return true;
        }
        if (Failed || n >= retryCount_) {
            Failed = true;
            return false;
        }
    }
}

bool TTolvIBusComm::HandshakeExchange(bool programMode) {
    if (BroadCast) {
        link_->SetRate(BaudTable[baudRate_]);
        SendWorkPacket(false);
        return WaitAnswer(BroadCastInterval) >= 0;
    }
    for (int n = 0;; ++n) {
        TraceRetry(n);
        link_->SetRate(n == 0 ? BaudTable[0] : BaudTable[size_t(n - 1) % BaudTable.size()]);
        SendWorkPacket(false);
        int a = WaitAnswer(HandshakeAnswerMs);
        if (a == AnswerAcked) {
            link_->SetRate(BaudTable[baudRate_]);
            return true;
        }
        if (programMode && a == AnswerRefused)
            Failed = true;
        if (Failed || n + 1 >= HandshakeTries) {
            Failed = true;
            return false;
        }
    }
}

void TTolvIBusComm::EndOfConnectionExchange(const uint8_t* packet) {
    for (int attempt = 0; attempt < EndOfConnectionTries; ++attempt) {
        std::memcpy(WorkPacket, packet, PacketSize);
        SendWorkPacket(false);
        int a = WaitAnswer(EndOfConnectionAnswerMs);
        // A dead port or Abort: more tries would only wait for nothing.
        if (a == AnswerAcked || a == AnswerAborted)
            return;
    }
}

// ---- Operations ----

bool TTolvIBusComm::SetActive(bool active) {
    if (inWait_)
        return false;
    if (active) {
        link_->SetName(commName_);
        if (active_)
            link_->Close();
        active_ = false;
        try {
            link_->Open();
        } catch (const ECommsError& error) {
            if (ShowErrorBox)
                ShowErrorBox("Error opening " + commName_ + "!\r\nplease select other ports.",
                             error);
            throw;
        }
        active_ = true;
        TraceLines.clear();
        portDead_ = false;
        writeRefused_ = false;
        sendDone_ = true;
        bytesInFlight_ = 0;
        if (PortOpened)
            PortOpened(link_->DevicePath());
        return true;
    }
    active_ = false;
    link_->Close();
    WriteDebugLog();
    return true;
}

bool TTolvIBusComm::Connect(uint32_t address, bool programMode) {
    if (inWait_)
        return false;
    return Handshake(address, programMode) && ReadIdentification();
}

bool TTolvIBusComm::Handshake(uint32_t address, bool programMode) {
    if (inWait_)
        return false;
    std::memset(WorkPacket, 0, sizeof WorkPacket);
    WorkPacket[0] = CmdConnection;
    WorkPacket[1] = uint8_t(ConnectionHandshake);
    WorkPacket[2] = uint8_t(ConnectionHandshake >> 8);
    PackBcd(BroadCast ? 0 : address, WorkPacket + 3);
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    WorkPacket[7] = ByteToBcd(unsigned(local.tm_year + 1900));
    WorkPacket[8] = ByteToBcd(unsigned(local.tm_mon + 1));
    WorkPacket[9] = ByteToBcd(unsigned(local.tm_mday));
    WorkPacket[10] = ByteToBcd(unsigned(local.tm_hour));
    WorkPacket[11] = ByteToBcd(unsigned(local.tm_min));
    WorkPacket[12] = ByteToBcd(unsigned(local.tm_sec));
    WorkPacket[13] = uint8_t(baudRate_);
    if (BroadCast) {
        WorkPacket[14] =
            BroadCastScaleType == tbs1024 ? HandshakeBroadcast1024 : HandshakeBroadcast5120;
        for (size_t i = 0; i < BroadCastAddresses.size(); ++i)
            PackBcd(BroadCastAddresses[i], WorkPacket + 35 + 4 * i);
    } else {
        WorkPacket[14] = programMode ? HandshakeProgram : HandshakeData;
    }
    SetPacketChecksum(WorkPacket);
    return HandshakeExchange(programMode);
}

bool TTolvIBusComm::ReadIdentification() {
    if (inWait_)
        return false;
    Block request{};
    request[2] = uint8_t(IdentificationArea << 4);
    const std::optional<Block> answer = ReadBlock(CmdConnection, MemoryPageBlock, request);
    if (!answer)
        return false;
    std::memcpy(IdentRecord, answer->data(), sizeof IdentRecord);
    return true;
}

bool TTolvIBusComm::Disconnect(uint32_t address, uint8_t status) {
    if (inWait_)
        return false;
    uint8_t packet[WorkAreaSize]{};
    packet[0] = CmdConnection;
    packet[1] = uint8_t(ConnectionEnd);
    packet[2] = uint8_t(ConnectionEnd >> 8);
    PackBcd(address, packet + 3);
    packet[7] = status;
    SetPacketChecksum(packet);
    EndOfConnectionExchange(packet);
    return true;
}

void TTolvIBusComm::BuildBlockPacket(uint8_t* packet, uint8_t command, uint16_t blockNo) {
    std::memset(packet, 0, WorkAreaSize);
    packet[0] = command;
    packet[1] = uint8_t(blockNo);
    packet[2] = uint8_t(blockNo >> 8);
    std::memcpy(packet + 3, DataBuf, BlockSize);
    SetPacketChecksum(packet);
}

bool TTolvIBusComm::WriteBlock(uint8_t command, uint16_t blockNo,
                               std::span<const uint8_t, BlockSize> data) {
    if (inWait_)
        return false;
    std::memcpy(DataBuf, data.data(), BlockSize);
    BuildBlockPacket(WorkPacket, command, blockNo);
    if (!SendWithAck())
        return false;
    if (BlockMoved) {
        Block sent;
        std::memcpy(sent.data(), data.data(), BlockSize);
        BlockMoved(command, blockNo, sent, true);
    }
    return true;
}

std::optional<Block> TTolvIBusComm::ReadBlock(uint8_t command, uint16_t blockNo) {
    if (inWait_)
        return std::nullopt;
    return RequestBlock(command, blockNo);
}

std::optional<Block> TTolvIBusComm::ReadBlock(uint8_t command, uint16_t blockNo,
                                              const Block& request) {
    if (inWait_)
        return std::nullopt;
    std::memset(DataBuf, 0, sizeof DataBuf);
    std::memcpy(DataBuf, request.data(), BlockSize);
    return RequestBlock(command, blockNo);
}

std::optional<Block> TTolvIBusComm::RequestBlock(uint8_t command, uint16_t blockNo) {
    BuildBlockPacket(RequestPacket, command, blockNo);
    const bool ok = RequestWithAnswer();
    // What the work packet holds goes to DataBuf either way: the next request carries it.
    std::memcpy(DataBuf, WorkPacket + 3, BlockSize);
    if (!ok)
        return std::nullopt;
    const Block block = DataBlock();
    if (BlockMoved)
        BlockMoved(command, blockNo, block, false);
    return block;
}

Block TTolvIBusComm::DataBlock() const {
    Block block;
    std::memcpy(block.data(), DataBuf, BlockSize);
    return block;
}

bool TTolvIBusComm::SendMarker(uint16_t marker, uint16_t value) {
    std::memset(WorkPacket, 0, sizeof WorkPacket);
    WorkPacket[0] = CmdProgramLoad;
    WorkPacket[1] = uint8_t(marker);
    WorkPacket[2] = uint8_t(marker >> 8);
    WorkPacket[3] = uint8_t(value);
    WorkPacket[4] = uint8_t(value >> 8);
    SetPacketChecksum(WorkPacket);
    return SendWithAck();
}

bool TTolvIBusComm::BeginProgramLoad(uint16_t value) {
    if (inWait_)
        return false;
    return SendMarker(ProgramLoadBegin, value);
}

bool TTolvIBusComm::EndProgramLoad(uint16_t value) {
    if (inWait_)
        return false;
    return SendMarker(ProgramLoadEnd, value);
}

// Sends one wake burst at WakeRate and waits until it has crossed the line. Some ports (USB
// adapters, pseudo-terminals) report their queue drained before the bytes are out; the rate
// must not change under them, so the burst's wire time is waited out in any case.
bool TTolvIBusComm::SendBurst() {
    static const std::vector<uint8_t> burst(WakeBurstLength, WakeByte);
    QElapsedTimer sent;
    sent.start();
    SendFrame(burst.data(), int(burst.size()));
    if (!WaitSent(false))
        return false;
    int wireMs = int(burst.size() * 10 * 1000 / WakeRate) + 1;
    if (sent.elapsed() < wireMs) {
        timedOut_ = false;
        answerTimer_->start(int(wireMs - sent.elapsed()));
        RunUntil([this] { return timedOut_ || Failed; });
        answerTimer_->stop();
    }
    return !Failed;
}

bool TTolvIBusComm::SendWakeBurst() {
    if (inWait_)
        return false;
    Failed = false;
    link_->SetRate(WakeRate);
    SendBurst();
    link_->SetRate(BaudTable[baudRate_]);
    return !Failed;
}

bool TTolvIBusComm::SendDoubleWakeBurst() {
    if (inWait_)
        return false;
    Failed = false;
    link_->SetRate(WakeRate);
    if (!SendBurst() || !WaitSeconds(1) || !SendBurst())
        return false;
    link_->SetRate(BaudTable[baudRate_]);
    return true;
}

bool TTolvIBusComm::WaitSeconds(int seconds) {
    if (inWait_)
        return false;
    timedOut_ = false;
    answerTimer_->start(Interval(seconds * 1000));
    RunUntil([this] { return timedOut_ || Failed; });
    answerTimer_->stop();
    return !Failed;
}
