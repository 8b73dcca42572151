#include "LatencyCheck.h"

#include "PortDiscovery.h"
#include "PortFailure.h"

std::vector<std::string> TLatencyCheck::HintFor(const std::string& devicePath) {
    if (devicePath.empty())
        return {};
    // One adapter may be reached by its by-id name, its by-path name or its node.
    const std::string device = KernelDeviceName(devicePath, root_);
    if (told_.count(device))
        return {};
    const std::optional<int> ms = LatencyTimerMs(devicePath, root_);
    if (!ms || *ms <= 1)
        return {};
    told_.insert(device);
    return LatencyHint(devicePath, *ms, SerialUdevRuleInstalled(root_));
}
