#include "CancelSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The pipe's write end for the handler; one per process, as signal handlers are.
std::atomic<int> signalPipe{-1};
std::atomic<int> received{0};

void OnSignal(int signal) {
    const int saved = errno;
    received.fetch_add(1);
    const char byte = char(signal);
    if (const int fd = signalPipe.load(); fd >= 0) [[maybe_unused]]
        ssize_t n = ::write(fd, &byte, 1);
    errno = saved;
}

} // namespace

TCancelSignals::TCancelSignals(std::function<void()> cancelled, QObject* parent)
    : QObject(parent), cancelled_(std::move(cancelled)) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    signalPipe.store(fds[1]);
    notifier_ = new QSocketNotifier(fds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(int(notifier_->socket()), bytes, sizeof bytes) > 0) {
        }
        if (cancelled_)
            cancelled_();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt_);
    sigaction(SIGTERM, &action, &previousTerm_);
}

TCancelSignals::~TCancelSignals() {
    if (!notifier_)
        return;
    sigaction(SIGINT, &previousInt_, nullptr);
    sigaction(SIGTERM, &previousTerm_, nullptr);
    const int writeEnd = signalPipe.exchange(-1);
    ::close(writeEnd);
    const int readEnd = int(notifier_->socket());
    delete notifier_;
    ::close(readEnd);
}

int TCancelSignals::Received() const {
    return received.load();
}
