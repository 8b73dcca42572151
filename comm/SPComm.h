#pragma once
// TComm: the serial port the protocol component runs on. A tty in raw mode, a receive thread and
// a transmit thread; everything they have to say reaches the owner as a notice on the thread the
// component lives on (the user-interface thread), where it becomes one of the five events.

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

// Raised by OpenPort with one of its fixed messages; the port is then closed.
class ECommsError : public std::runtime_error {
public:
    explicit ECommsError(const std::string& message, int error = 0)
        : std::runtime_error(message), error_(error) {}
    // errno of the failing call, 0 when there was none; a detail beside the message.
    int SystemError() const { return error_; }

private:
    int error_;
};

enum class TDtrControl { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };
enum class TByteSize { _5, _6, _7, _8 };
enum class TParity { None, Odd, Even, Mark, Space };
enum class TStopBits { _1, _1_5, _2 };

// Codes of the notices the threads post to the owner.
enum TCommNotice {
    ReceiveDataNotice = 1025,
    ReceiveErrorNotice = 1026,
    RequestHangupNotice = 1027,
    ModemStateNotice = 1028,
    SendDataEmptyNotice = 1029,
};

class TComm : public QObject {
public:
    explicit TComm(QObject* parent = nullptr);
    ~TComm() override; // closes the port if it is still open

    // Events, raised on the owner's thread and only when assigned.
    std::function<void(TComm* sender, const uint8_t* buffer, uint16_t length)> OnReceiveData;
    std::function<void(TComm* sender, uint32_t eventMask)> OnReceiveError;
    std::function<void(TComm* sender, uint32_t modemEvent)> OnModemStateChange;
    std::function<void(TComm* sender)> OnRequestHangup;
    std::function<void(TComm* sender)> OnSendDataEmpty;

    // Opens CommName (mapped to a device by PortDevicePath) and starts both threads. Throws
    // ECommsError. Does nothing when the port is open.
    void OpenPort();
    // Stops both threads (at most 10 s each) and closes the device. Does nothing when closed.
    void ClosePort();
    // Queues a copy of the bytes for the transmit thread. False, queuing nothing, when the port
    // is closed, count is 0, or the transmit thread has ended.
    bool WriteData(const uint8_t* bytes, uint16_t count);
    // The length of the answer the reader waits for: received bytes are handed over once this
    // many have come (or the line went quiet). 1, the default, hands over every chunk at once.
    void SetReceiveThreshold(size_t bytes) { receiveThreshold_ = bytes < 1 ? 1 : bytes; }
    bool IsOpen() const { return fd_ >= 0; }
    // The device path the last OpenPort used (for messages and tests).
    const std::string& DevicePath() const { return devicePath_; }

    // Published properties. Setters store a changed value and, while open, apply it.
    const std::string& CommName() const { return commName_; }
    void SetCommName(const std::string& v) { commName_ = v; }
    uint32_t BaudRate() const { return baudRate_; }
    void SetBaudRate(uint32_t v) { SetLine(baudRate_, v); }
    bool ParityCheck() const { return parityCheck_; }
    void SetParityCheck(bool v) { SetLine(parityCheck_, v); }
    bool Outx_CtsFlow() const { return outxCtsFlow_; }
    void SetOutx_CtsFlow(bool v) { SetLine(outxCtsFlow_, v); }
    bool Outx_DsrFlow() const { return outxDsrFlow_; }
    void SetOutx_DsrFlow(bool v) { SetLine(outxDsrFlow_, v); }
    TDtrControl DtrControl() const { return dtrControl_; }
    void SetDtrControl(TDtrControl v) { SetLine(dtrControl_, v); }
    bool DsrSensitivity() const { return dsrSensitivity_; }
    void SetDsrSensitivity(bool v) { SetLine(dsrSensitivity_, v); }
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    void SetTxContinueOnXoff(bool v) { SetLine(txContinueOnXoff_, v); }
    bool Outx_XonXoffFlow() const { return outxXonXoffFlow_; }
    void SetOutx_XonXoffFlow(bool v) { SetLine(outxXonXoffFlow_, v); }
    bool Inx_XonXoffFlow() const { return inxXonXoffFlow_; }
    void SetInx_XonXoffFlow(bool v) { SetLine(inxXonXoffFlow_, v); }
    bool ReplaceWhenParityError() const { return replaceWhenParityError_; }
    void SetReplaceWhenParityError(bool v) { SetLine(replaceWhenParityError_, v); }
    bool IgnoreNullChar() const { return ignoreNullChar_; }
    void SetIgnoreNullChar(bool v) { SetLine(ignoreNullChar_, v); }
    TRtsControl RtsControl() const { return rtsControl_; }
    void SetRtsControl(TRtsControl v) { SetLine(rtsControl_, v); }
    uint16_t XonLimit() const { return xonLimit_; }
    void SetXonLimit(uint16_t v) { SetLine(xonLimit_, v); }
    uint16_t XoffLimit() const { return xoffLimit_; }
    void SetXoffLimit(uint16_t v) { SetLine(xoffLimit_, v); }
    TByteSize ByteSize() const { return byteSize_; }
    void SetByteSize(TByteSize v) { SetLine(byteSize_, v); }
    TParity Parity() const { return parity_; }
    void SetParity(TParity v) { SetLine(parity_, v); }
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits v) { SetLine(stopBits_, v); }
    uint8_t XonChar() const { return xonChar_; }
    void SetXonChar(uint8_t v) { SetLine(xonChar_, v); }
    uint8_t XoffChar() const { return xoffChar_; }
    void SetXoffChar(uint8_t v) { SetLine(xoffChar_, v); }
    uint8_t ReplacedChar() const { return replacedChar_; }
    void SetReplacedChar(uint8_t v) { SetLine(replacedChar_, v); }
    uint32_t ReadIntervalTimeout() const { return readIntervalTimeout_; }
    void SetReadIntervalTimeout(uint32_t v) { SetTimeout(readIntervalTimeout_, v); }
    uint32_t ReadTotalTimeoutMultiplier() const { return readTotalTimeoutMultiplier_; }
    void SetReadTotalTimeoutMultiplier(uint32_t v) { SetTimeout(readTotalTimeoutMultiplier_, v); }
    uint32_t ReadTotalTimeoutConstant() const { return readTotalTimeoutConstant_; }
    void SetReadTotalTimeoutConstant(uint32_t v) { SetTimeout(readTotalTimeoutConstant_, v); }
    uint32_t WriteTotalTimeoutMultiplier() const { return writeTotalTimeoutMultiplier_; }
    void SetWriteTotalTimeoutMultiplier(uint32_t v) { SetTimeout(writeTotalTimeoutMultiplier_, v); }
    uint32_t WriteTotalTimeoutConstant() const { return writeTotalTimeoutConstant_; }
    void SetWriteTotalTimeoutConstant(uint32_t v) { SetTimeout(writeTotalTimeoutConstant_, v); }

    // Number of line-setting writes to the device since construction (tests check that a
    // value set to itself does not touch the device).
    int LineSettingsWrites() const { return lineSettingsWrites_; }

    // termios speed constant for a rate, or 0 when the tty has none.
    static unsigned SpeedConstant(uint32_t rate);

protected:
    bool event(QEvent* e) override;

private:
    template <typename T> void SetLine(T& field, T value) {
        if (field == value)
            return;
        field = value;
        if (IsOpen())
            ApplyLineSettings();
    }
    void SetTimeout(uint32_t& field, uint32_t value) {
        if (field == value)
            return;
        field = value;
        if (IsOpen())
            ApplyTimeouts();
    }
    void ApplyLineSettings();
    void ApplyTimeouts();
    void Post(int code, uint64_t value, std::vector<uint8_t> buffer = {});
    void EndThread(std::atomic<bool>& ended);
    void ReadThread();
    void WriteThread();
    void StopThread(std::thread& thread, std::atomic<bool>& ended);
    void CloseHandles();

    std::string commName_ = "COM2";
    uint32_t baudRate_ = 9600;
    bool parityCheck_ = false;
    bool outxCtsFlow_ = false;
    bool outxDsrFlow_ = false;
    TDtrControl dtrControl_ = TDtrControl::DtrEnable;
    bool dsrSensitivity_ = false;
    bool txContinueOnXoff_ = true;
    bool outxXonXoffFlow_ = true;
    bool inxXonXoffFlow_ = true;
    bool replaceWhenParityError_ = false;
    bool ignoreNullChar_ = false;
    TRtsControl rtsControl_ = TRtsControl::RtsEnable;
    uint16_t xonLimit_ = 500;
    uint16_t xoffLimit_ = 500;
    TByteSize byteSize_ = TByteSize::_8;
    TParity parity_ = TParity::None;
    TStopBits stopBits_ = TStopBits::_1;
    uint8_t xonChar_ = 17;
    uint8_t xoffChar_ = 19;
    uint8_t replacedChar_ = 0;
    uint32_t readIntervalTimeout_ = 100;
    uint32_t readTotalTimeoutMultiplier_ = 0;
    uint32_t readTotalTimeoutConstant_ = 0;
    uint32_t writeTotalTimeoutMultiplier_ = 0;
    uint32_t writeTotalTimeoutConstant_ = 0;

    int fd_ = -1;
    int closeEvent_ = -1; // eventfd, set once at close, watched by both threads
    int writeEvent_ = -1; // eventfd, counts queued write requests
    std::string devicePath_;
    std::atomic<bool> sendDataEmpty_{true};
    std::thread readThread_;
    std::thread writeThread_;
    std::atomic<bool> readEnded_{true};
    std::atomic<bool> writeEnded_{true};
    std::mutex endMutex_;
    std::condition_variable endCv_;
    // Copies the threads read while the owner may change the originals.
    std::atomic<uint32_t> threadBaud_{9600};
    std::atomic<bool> threadIgnoreNull_{false};
    std::atomic<size_t> receiveThreshold_{1};
    // Write requests handed to the transmit thread, and how many of them it had finished when
    // it last reported the queue drained: a drain notice overtaken by a newer write is stale.
    uint64_t writesQueued_ = 0;
    std::mutex writeMutex_;
    std::deque<std::vector<uint8_t>> writeQueue_;
    // Notices of an earlier open are dropped: their port is gone.
    std::atomic<unsigned> session_{0};
    // Counts notices handed to Qt's queue; see Post().
    std::atomic<uint64_t> noticesPosted_{0};
    // Both port threads post; Qt appends to its queue under a lock ThreadSanitizer cannot see.
    std::mutex postMutex_;
    int lineSettingsWrites_ = 0;
};
