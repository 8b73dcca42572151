#pragma once
// Tells when serial devices come and go, so that a list of them can be read again.

#include <QObject>
#include <QTimer>

#include <string>

class QSocketNotifier;
struct udev;
struct udev_monitor;

class TPortWatcher : public QObject {
    Q_OBJECT
public:
    // Listens to udev's notices once udev has made its /dev/serial links, or to the kernel's
    // own where no udev runs. Without either (a container without netlink) it stays silent.
    explicit TPortWatcher(QObject* parent = nullptr, const std::string& root = "/");
    ~TPortWatcher() override;

    bool IsWatching() const { return monitor_ != nullptr; }

signals:
    // A tty appeared or went away. One plug can bring several; they come as one notice.
    void DevicesChanged();

private:
    void Receive();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    QTimer settle_;
};
