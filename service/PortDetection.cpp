#include "PortDetection.h"

#include "PortFailure.h"
#include "RegisterConnection.h"
#include "Settings.h"
#include "TolvIBus.h"

#include <filesystem>

namespace {

std::string ComName(int n) {
    return "COM" + std::to_string(n);
}

// Restores the component's error box when the probe ends, however it ends.
class TErrorBoxSwap {
public:
    TErrorBoxSwap(TTolvIBusComm& bus, decltype(TTolvIBusComm::ShowErrorBox) replacement)
        : bus_(bus), saved_(std::move(bus.ShowErrorBox)) {
        bus_.ShowErrorBox = std::move(replacement);
    }
    ~TErrorBoxSwap() { bus_.ShowErrorBox = std::move(saved_); }
    TErrorBoxSwap(const TErrorBoxSwap&) = delete;
    TErrorBoxSwap& operator=(const TErrorBoxSwap&) = delete;

private:
    TTolvIBusComm& bus_;
    decltype(TTolvIBusComm::ShowErrorBox) saved_;
};

} // namespace

TDetectResult DetectPorts(TTolvIBusComm& bus, const TDetectHooks& hooks) {
    // No progress: the dialog shows one outcome per port.
    TQuietProgress quiet;
    for (int n = 1; n <= 4; ++n) {
        hooks.SetOutcome(n, TestingText);
        // No Disconnect: the port is closed right after the register has answered.
        if (OpenAndConnect(bus, quiet, {ComName(n), std::nullopt}) == TFlowResult::Done) {
            bus.SetActive(false);
            hooks.SetOutcome(n, FoundText);
            return {n, hooks.AskApply(), false};
        }
        if (!hooks.StillShown())
            return {0, false, true};
        hooks.SetOutcome(n, NotFoundText);
    }
    return {};
}

bool ApplyDetectedPort(int n) {
    PortNumber = n;
    return WriteCommPort(n);
}

std::vector<int> TPortMap::PortsOf(const SerialDevice& device) const {
    std::vector<int> ports;
    for (size_t i = 0; i < devices.size(); ++i)
        if (devices[i] == &device)
            ports.push_back(int(i) + 1);
    return ports;
}

TPortMap MapPorts(const std::vector<SerialDevice>& devices, const std::string& root) {
    TPortMap map;
    for (int n = 1; n <= 4; ++n) {
        map.paths[size_t(n - 1)] = PortDevicePath(ComName(n));
        map.devices[size_t(n - 1)] = FindSerialDevice(devices, map.paths[size_t(n - 1)], root);
    }
    return map;
}

std::vector<SerialDevice> UnmappedDevices(const std::vector<SerialDevice>& devices,
                                          const std::string& root) {
    const TPortMap map = MapPorts(devices, root);
    std::vector<SerialDevice> unmapped;
    for (const SerialDevice& d : devices)
        if (map.PortsOf(d).empty())
            unmapped.push_back(d);
    return unmapped;
}

std::optional<size_t> ProbeDevices(TTolvIBusComm& bus, const std::vector<SerialDevice>& devices,
                                   const TProbeHooks& hooks, const std::string& root) {
    TQuietProgress quiet;
    std::string failure;
    const SerialDevice* probed = nullptr;
    TErrorBoxSwap swap(bus, [&](const std::string&, const ECommsError& error) {
        const PortFailure why = ExplainPortFailure(probed->path, error, PortSystem::Current(root));
        failure = why.lines.empty() ? std::string(error.what()) : why.lines.front();
    });
    for (size_t i = 0; i < devices.size(); ++i) {
        probed = &devices[i];
        failure.clear();
        hooks.SetOutcome(i, TestingText);
        const TFlowResult result =
            OpenAndConnect(bus, quiet, {UnderRoot(root, probed->path), std::nullopt});
        if (result == TFlowResult::Done) {
            bus.SetActive(false);
            hooks.SetOutcome(i, FoundText);
            return i;
        }
        if (!hooks.StillShown())
            return std::nullopt;
        hooks.SetOutcome(i, failure.empty() ? NotFoundText : failure);
    }
    return std::nullopt;
}

int PortForFoundDevice(const std::string& root) {
    if (PortNumber >= 1 && PortNumber <= 4)
        return PortNumber;
    for (int n = 1; n <= 4; ++n) {
        std::error_code ec;
        if (!std::filesystem::exists(UnderRoot(root, PortDevicePath(ComName(n))), ec))
            return n;
    }
    return 1;
}

std::string UseDeviceQuestion(const SerialDevice& device, int n) {
    return "Register found on " + device.description + ". Use it as " + ComName(n) + "?";
}

bool ApplyDetectedDevice(int n, const std::string& devicePath) {
    if (!WriteCommPort(n, devicePath))
        return false;
    PortNumber = n;
    return true;
}
