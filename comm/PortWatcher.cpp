#include "PortWatcher.h"

#include "PortDiscovery.h"

#include <QSocketNotifier>

#include <cstring>
#include <libudev.h>
#include <unistd.h>

namespace {
// A USB adapter with two ports, or an unplug followed by a replug, arrives as a burst.
constexpr int SettleMs = 100;
} // namespace

TPortWatcher::TPortWatcher(QObject* parent, const std::string& root) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    connect(&settle_, &QTimer::timeout, this, &TPortWatcher::DevicesChanged);
    udev_ = udev_new();
    if (!udev_)
        return;
    // udev's notice comes after its rules ran, so the by-id links are there to be read.
    const bool udevRuns = access(UnderRoot(root, "/run/udev/control").c_str(), F_OK) == 0;
    monitor_ = udev_monitor_new_from_netlink(udev_, udevRuns ? "udev" : "kernel");
    if (monitor_ &&
        (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) < 0 ||
         udev_monitor_enable_receiving(monitor_) < 0)) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
    }
    if (!monitor_)
        return;
    notifier_ = new QSocketNotifier(udev_monitor_get_fd(monitor_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TPortWatcher::Receive);
}

TPortWatcher::~TPortWatcher() {
    delete notifier_;
    if (monitor_)
        udev_monitor_unref(monitor_);
    if (udev_)
        udev_unref(udev_);
}

void TPortWatcher::Receive() {
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        // "change" and "bind" events leave the list as it was.
        if (action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0))
            settle_.start();
        udev_device_unref(device);
    }
}
