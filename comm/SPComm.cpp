#include "SPComm.h"

#include "Settings.h"

#include <QCoreApplication>
#include <QEvent>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr size_t ReadChunk = 2048;
// How long the line must be quiet before bytes short of an announced answer are handed over:
// a few character times even at 9600 baud, and far below any answer time.
constexpr int GatherQuietMs = 3;

const QEvent::Type NoticeEventType = QEvent::Type(QEvent::registerEventType());

class TNoticeEvent : public QEvent {
public:
    TNoticeEvent(unsigned session, int code, uint64_t value, std::vector<uint8_t> buffer)
        : QEvent(NoticeEventType), session(session), code(code), value(value),
          buffer(std::move(buffer)) {}
    unsigned session;
    int code;
    uint64_t value;
    std::vector<uint8_t> buffer;
};

bool IsSet(int eventFd) {
    pollfd p{eventFd, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
}

void Signal(int eventFd) {
    uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(eventFd, &one, sizeof one);
}

} // namespace

TComm::TComm(QObject* parent) : QObject(parent) {}

TComm::~TComm() {
    ClosePort();
}

unsigned TComm::SpeedConstant(uint32_t rate) {
    switch (rate) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    default:
        return 0;
    }
}

void TComm::OpenPort() {
    if (IsOpen())
        return;
    devicePath_ = PortDevicePath(commName_);
    if (devicePath_.empty())
        throw ECommsError("Error opening serial port");
    // O_NONBLOCK: the threads wait in poll(), never inside read() or write().
    int fd = ::open(devicePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw ECommsError("Error opening serial port", errno);
    // TIOCEXCL keeps other openers out except root; flock covers cooperating programs, root too.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int e = errno;
        ::close(fd);
        throw ECommsError("Error opening serial port", e);
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || !isatty(fd)) {
        ::close(fd);
        throw ECommsError("File handle is not a comm handle ");
    }
    ioctl(fd, TIOCEXCL);
    // USB adapters hold received bytes up to 16 ms unless asked not to; plain UARTs and
    // pseudo-terminals refuse the request, which is fine.
    serial_struct ss{};
    if (ioctl(fd, TIOCGSERIAL, &ss) == 0) {
        ss.flags |= ASYNC_LOW_LATENCY;
        ioctl(fd, TIOCSSERIAL, &ss);
    }
    // The driver's queue sizes cannot be chosen on Linux; nothing to set up.
    fd_ = fd;
    tcflush(fd_, TCIOFLUSH);
    sendDataEmpty_ = true;
    ApplyTimeouts();
    ApplyLineSettings();

    closeEvent_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    writeEvent_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (closeEvent_ < 0 || writeEvent_ < 0) {
        int e = errno;
        CloseHandles();
        throw ECommsError("Unable to create event", e);
    }
    {
        std::lock_guard lock(writeMutex_);
        writeQueue_.clear();
    }
    writesQueued_ = 0;
    ++session_;
    readEnded_ = false;
    try {
        readThread_ = std::thread(&TComm::ReadThread, this);
    } catch (const std::system_error& e) {
        readEnded_ = true;
        CloseHandles();
        throw ECommsError("Unable to create read thread", e.code().value());
    }
    writeEnded_ = false;
    try {
        writeThread_ = std::thread(&TComm::WriteThread, this);
    } catch (const std::system_error& e) {
        writeEnded_ = true;
        Signal(closeEvent_);
        StopThread(readThread_, readEnded_);
        CloseHandles();
        throw ECommsError("Unable to create write thread", e.code().value());
    }
}

void TComm::ClosePort() {
    if (!IsOpen())
        return;
    Signal(closeEvent_);
    tcflush(fd_, TCIFLUSH);
    StopThread(readThread_, readEnded_);
    tcflush(fd_, TCOFLUSH);
    sendDataEmpty_ = true;
    StopThread(writeThread_, writeEnded_);
    {
        std::lock_guard lock(writeMutex_);
        writeQueue_.clear();
    }
    CloseHandles();
}

void TComm::StopThread(std::thread& thread, std::atomic<bool>& ended) {
    if (!thread.joinable())
        return;
    std::unique_lock lock(endMutex_);
    if (endCv_.wait_for(lock, std::chrono::seconds(10), [&] { return ended.load(); })) {
        lock.unlock();
        thread.join();
        return;
    }
    // A thread cannot be killed safely; leave it with its descriptors, which are then never
    // closed so it cannot act on a reused number.
    thread.detach();
    fd_ = -1;
    closeEvent_ = -1;
    writeEvent_ = -1;
}

void TComm::CloseHandles() {
    if (fd_ >= 0) {
        ioctl(fd_, TIOCNXCL);
        flock(fd_, LOCK_UN);
        ::close(fd_);
    }
    if (closeEvent_ >= 0)
        ::close(closeEvent_);
    if (writeEvent_ >= 0)
        ::close(writeEvent_);
    fd_ = closeEvent_ = writeEvent_ = -1;
}

bool TComm::WriteData(const uint8_t* bytes, uint16_t count) {
    if (!IsOpen() || count == 0 || writeEnded_)
        return false;
    std::vector<uint8_t> copy(bytes, bytes + count);
    {
        std::lock_guard lock(writeMutex_);
        writeQueue_.push_back(std::move(copy));
    }
    ++writesQueued_;
    sendDataEmpty_ = false;
    Signal(writeEvent_);
    return true;
}

void TComm::ApplyTimeouts() {
    // Reads complete as soon as bytes are there (poll + non-blocking read), so the interval
    // and total time-outs need no device setting; writes have none.
}

void TComm::ApplyLineSettings() {
    termios tio{};
    tcgetattr(fd_, &tio);
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= sizes[int(byteSize_)];
    switch (parity_) {
    case TParity::None:
        break;
    case TParity::Odd:
        tio.c_cflag |= PARENB | PARODD;
        break;
    case TParity::Even:
        tio.c_cflag |= PARENB;
        break;
    case TParity::Mark:
        tio.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case TParity::Space:
        tio.c_cflag |= PARENB | CMSPAR;
        break;
    }
    if (stopBits_ != TStopBits::_1)
        tio.c_cflag |= CSTOPB; // the tty knows no 1.5 stop bits; 2 is the nearest
    if (outxCtsFlow_ || rtsControl_ == TRtsControl::RtsHandshake)
        tio.c_cflag |= CRTSCTS;
    tio.c_iflag &= ~tcflag_t(INPCK | IGNPAR | PARMRK | IXON | IXOFF | IXANY);
    if (parityCheck_)
        tio.c_iflag |= INPCK; // a byte with a parity error then reads as 0
    if (outxXonXoffFlow_)
        tio.c_iflag |= IXON;
    if (inxXonXoffFlow_)
        tio.c_iflag |= IXOFF;
    tio.c_cc[VSTART] = xonChar_;
    tio.c_cc[VSTOP] = xoffChar_;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (unsigned speed = SpeedConstant(baudRate_)) {
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
    }
    tcsetattr(fd_, TCSANOW, &tio);
    int dtr = TIOCM_DTR, rts = TIOCM_RTS;
    if (dtrControl_ == TDtrControl::DtrEnable)
        ioctl(fd_, TIOCMBIS, &dtr);
    else if (dtrControl_ == TDtrControl::DtrDisable)
        ioctl(fd_, TIOCMBIC, &dtr);
    if (rtsControl_ == TRtsControl::RtsEnable)
        ioctl(fd_, TIOCMBIS, &rts);
    else if (rtsControl_ == TRtsControl::RtsDisable)
        ioctl(fd_, TIOCMBIC, &rts);
    threadBaud_ = baudRate_;
    threadIgnoreNull_ = ignoreNullChar_;
    ++lineSettingsWrites_;
    // Lets a UART settle after a change of rate before the next bytes go out.
    pollfd none{-1, 0, 0};
    poll(&none, 0, 5);
}

void TComm::Post(int code, uint64_t value, std::vector<uint8_t> buffer) {
    auto* notice = new TNoticeEvent(session_, code, value, std::move(buffer));
    // Qt's event queue hands the notice over under a lock that ThreadSanitizer cannot see into;
    // this release and the acquire in event() state the same order in terms it checks.
    std::lock_guard lock(postMutex_);
    noticesPosted_.fetch_add(1, std::memory_order_release);
    QCoreApplication::postEvent(this, notice);
}

void TComm::EndThread(std::atomic<bool>& ended) {
    {
        std::lock_guard lock(endMutex_);
        ended = true;
    }
    endCv_.notify_all();
}

void TComm::ReadThread() {
    uint8_t buffer[ReadChunk];
    pollfd fds[2] = {{fd_, POLLIN, 0}, {closeEvent_, POLLIN, 0}};
    bool hangup = false;
    // Bytes of an answer whose length the reader announced are handed over together once that
    // many have come, or when the line has been quiet for a moment; the user-interface thread
    // then wakes once per answer instead of once per driver chunk.
    std::vector<uint8_t> gathered;
    auto handOver = [&] {
        if (!gathered.empty())
            Post(ReceiveDataNotice, gathered.size(), std::exchange(gathered, {}));
    };
    for (;;) {
        int r = poll(fds, 2, gathered.empty() ? -1 : GatherQuietMs);
        if (r == 0) {
            handOver();
            continue;
        }
        if (r < 0) {
            if (errno == EINTR)
                continue;
            hangup = true;
            break;
        }
        if (fds[1].revents)
            break;
        if (fds[0].revents & POLLIN) {
            ssize_t n = ::read(fd_, buffer, ReadChunk - gathered.size());
            if (n > 0) {
                gathered.insert(gathered.end(), buffer, buffer + n);
                if (threadIgnoreNull_)
                    std::erase(gathered, uint8_t(0));
                if (gathered.size() >= receiveThreshold_.load() || gathered.size() >= ReadChunk)
                    handOver();
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            hangup = true; // 0 bytes from a readable tty, or EIO: the line is gone
            break;
        }
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            hangup = true;
            break;
        }
    }
    if (hangup) {
        handOver();
        Post(RequestHangupNotice, 0);
        Signal(closeEvent_); // the transmit thread has nothing left to do either
    }
    EndThread(readEnded_);
}

void TComm::WriteThread() {
    bool drainOwed = true;
    uint64_t done = 0;
    bool hangup = false;
    for (;;) {
        std::vector<uint8_t> request;
        bool have = false;
        {
            std::lock_guard lock(writeMutex_);
            if (!writeQueue_.empty()) {
                request = std::move(writeQueue_.front());
                writeQueue_.pop_front();
                have = true;
            }
        }
        if (!have) {
            sendDataEmpty_ = true;
            if (drainOwed)
                Post(SendDataEmptyNotice, done);
            drainOwed = false;
            pollfd fds[2] = {{closeEvent_, POLLIN, 0}, {writeEvent_, POLLIN, 0}};
            int r = poll(fds, 2, -1);
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0) {
                hangup = true;
                break;
            }
            if (fds[0].revents)
                break;
            uint64_t count;
            [[maybe_unused]] ssize_t n = ::read(writeEvent_, &count, sizeof count);
            continue;
        }
        if (IsSet(closeEvent_))
            break;
        size_t offset = 0;
        bool stop = false;
        while (offset < request.size() && !stop) {
            ssize_t n = ::write(fd_, request.data() + offset, request.size() - offset);
            if (n > 0) {
                offset += size_t(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN) {
                pollfd fds[2] = {{fd_, POLLOUT, 0}, {closeEvent_, POLLIN, 0}};
                if (poll(fds, 2, -1) < 0 && errno != EINTR) {
                    hangup = true;
                    stop = true;
                } else if (fds[1].revents) {
                    stop = true;
                } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
                    hangup = true;
                    stop = true;
                }
                continue;
            }
            hangup = true;
            stop = true;
        }
        // The queue counts as drained when the bytes have left the driver, not when they
        // were handed to it: the answer time of the protocol starts then.
        while (!stop) {
            int queued = 0;
            if (ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0)
                break;
            uint32_t baud = threadBaud_ ? threadBaud_.load() : 9600;
            int ms = int(uint64_t(queued) * 10000 / baud) + 1;
            pollfd closing{closeEvent_, POLLIN, 0};
            if (poll(&closing, 1, ms) > 0)
                stop = true;
        }
        if (stop)
            break;
        ++done;
        drainOwed = true;
    }
    if (hangup && !IsSet(closeEvent_)) {
        Post(RequestHangupNotice, 0);
        Signal(closeEvent_);
    }
    tcflush(fd_, TCOFLUSH);
    sendDataEmpty_ = true;
    EndThread(writeEnded_);
}

bool TComm::event(QEvent* e) {
    (void)noticesPosted_.load(std::memory_order_acquire);
    if (e->type() != NoticeEventType)
        return QObject::event(e);
    auto* notice = static_cast<TNoticeEvent*>(e);
    if (notice->session != session_ || !IsOpen())
        return true;
    switch (notice->code) {
    case ReceiveDataNotice:
        if (OnReceiveData)
            OnReceiveData(this, notice->buffer.data(), uint16_t(notice->buffer.size()));
        break;
    case ReceiveErrorNotice:
        if (OnReceiveError)
            OnReceiveError(this, uint32_t(notice->value));
        break;
    case RequestHangupNotice:
        if (OnRequestHangup)
            OnRequestHangup(this);
        break;
    case ModemStateNotice:
        if (OnModemStateChange)
            OnModemStateChange(this, uint32_t(notice->value));
        break;
    case SendDataEmptyNotice:
        // Only a drain of everything written so far; an older one was overtaken by a write.
        if (notice->value == writesQueued_ && OnSendDataEmpty)
            OnSendDataEmpty(this);
        break;
    default:
        break;
    }
    return true;
}
