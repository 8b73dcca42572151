// The port's two threads under load: the user-interface thread opens, writes, closes and sees
// hang-ups in a loop while a peer thread writes to the line without pause. Built with
// ThreadSanitizer too (QPLU_TSAN); every cycle must end within its bounds, and neither threads
// nor descriptors may be left over.
#include "Ini.h"
#include "SPComm.h"
#include "Settings.h"
#include "StressCycles.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

namespace {

template <typename Done> bool PumpUntil(Done done, int limitMs) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    return done();
}

// The far end of the line: writes without pause and drains what the port sends, until told to
// stop or to hang up (close its end while the port is open).
class Peer {
public:
    explicit Peer(int master) : master_(master), thread_([this] { Run(); }) {}
    ~Peer() {
        stop_ = true;
        thread_.join();
        if (master_ >= 0)
            ::close(master_);
    }
    void HangUp() { hangUp_ = true; }
    bool HungUp() const { return hungUp_; }

private:
    void Run() {
        uint8_t out[97];
        for (size_t i = 0; i < sizeof out; ++i)
            out[i] = uint8_t(i * 7);
        uint8_t in[4096];
        while (!stop_) {
            if (hangUp_ && !hungUp_) {
                ::close(master_);
                master_ = -1;
                hungUp_ = true;
            }
            if (master_ < 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            pollfd p{master_, POLLIN | POLLOUT, 0};
            if (::poll(&p, 1, 5) <= 0)
                continue;
            // Only the traffic matters here, not what each call moved.
            if ((p.revents & POLLIN) && ::read(master_, in, sizeof in) < 0)
                continue;
            if ((p.revents & POLLOUT) && ::write(master_, out, sizeof out) < 0)
                continue;
        }
    }

    int master_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> hangUp_{false};
    std::atomic<bool> hungUp_{false};
    std::thread thread_;
};

} // namespace

TEST(PortStress, OpenWriteCloseAndHangupsWhileDataArrives) {
    TempProgramDir dir;
    const int cycles = StressCycles(100, 1000);
    const int descriptorsBefore = OpenDescriptors();
    size_t received = 0;
    int hangups = 0;
    int empties = 0;
    TComm port;
    port.SetCommName("COM3");
    port.SetBaudRate(115200);
    port.OnReceiveData = [&](TComm*, const uint8_t*, uint16_t length) { received += length; };
    port.OnRequestHangup = [&](TComm*) { ++hangups; };
    port.OnSendDataEmpty = [&](TComm*) { ++empties; };
    const uint8_t request[40] = {0x7E, 1, 2, 3};

    for (int cycle = 0; cycle < cycles; ++cycle) {
        SCOPED_TRACE(cycle);
        int master = -1, slave = -1;
        char name[128];
        ASSERT_EQ(0, ::openpty(&master, &slave, name, nullptr, nullptr));
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        ::close(slave); // only the port holds the slave: closing the master hangs it up
        IniWriteString(SystemCfgPath(), "Ports", "COM3", name);
        Peer peer(master);

        const size_t receivedBefore = received;
        port.OpenPort();
        for (int i = 0; i < 1 + cycle % 4; ++i)
            EXPECT_TRUE(port.WriteData(request, uint16_t(sizeof request)));
        EXPECT_TRUE(PumpUntil([&] { return received > receivedBefore; }, 5000)) << "no data came";
        switch (cycle % 3) {
        case 0: // closed while both threads are busy
            break;
        case 1: { // hung up by the far end
            const int before = hangups;
            peer.HangUp();
            EXPECT_TRUE(PumpUntil([&] { return hangups > before; }, 5000)) << "no hang-up";
            // The transmit thread ends a moment after the receive thread told of the hang-up.
            EXPECT_TRUE(PumpUntil([&] { return !port.WriteData(request, 1); }, 3000))
                << "a dead line still takes writes";
            break;
        }
        default: // a write queued just before the close
            port.WriteData(request, uint16_t(sizeof request));
            break;
        }
        QElapsedTimer t;
        t.start();
        port.ClosePort();
        EXPECT_LT(t.elapsed(), 3000) << "close took long";
        EXPECT_FALSE(port.IsOpen());
    }
    QCoreApplication::processEvents();
    EXPECT_GT(empties, 0);
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore) << "descriptors left over";
}
