#include "RegisterDetection.h"

#include "RegisterCopy.h"
#include "TolvIBus.h"

#include <algorithm>
#include <cstring>

std::vector<SerialDevice> FreeDevices(const std::vector<SerialDevice>& devices,
                                      const TRegisterList& list, const std::string& root) {
    std::vector<std::string> used;
    for (const TRegister& reg : list.Registers())
        if (const std::string device = PortOf(reg).device; !device.empty())
            used.push_back(KernelDeviceName(device, root));
    std::vector<SerialDevice> free;
    for (const SerialDevice& d : devices)
        if (std::find(used.begin(), used.end(), d.name) == used.end())
            free.push_back(d);
    return free;
}

std::vector<TFoundRegister> FindRegisters(TTolvIBusComm& bus,
                                          const std::vector<SerialDevice>& devices,
                                          const TProbeHooks& hooks, const std::string& root) {
    std::vector<TFoundRegister> found;
    for (size_t i = 0; i < devices.size(); ++i) {
        TProbeHooks one;
        one.SetOutcome = [&](size_t, const std::string& text) { hooks.SetOutcome(i, text); };
        one.StillShown = hooks.StillShown;
        // What an earlier register said is not this one's.
        std::memset(bus.IdentRecord, 0, sizeof bus.IdentRecord);
        if (ProbeDevices(bus, {devices[i]}, one, root))
            found.push_back({devices[i], IdentificationText(bus.IdentRecord)});
        if (hooks.StillShown && !hooks.StillShown())
            break;
    }
    return found;
}
