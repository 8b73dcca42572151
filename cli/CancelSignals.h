#pragma once
// Ctrl+C (SIGINT) and SIGTERM as a Cancel: the handler only writes to a pipe; the event loop,
// which every wait of the protocol keeps running, reads it and raises Cancelled.

#include <QObject>

#include <csignal>
#include <functional>

class QSocketNotifier;

class TCancelSignals : public QObject {
public:
    // Installs the handlers; the previous ones come back on destruction.
    explicit TCancelSignals(std::function<void()> cancelled, QObject* parent = nullptr);
    ~TCancelSignals() override;

    // How many signals have come (the event loop may not have run since).
    int Received() const;

private:
    std::function<void()> cancelled_;
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};
