#pragma once
// Whether an adapter that has just been opened still holds back what it receives, told once per
// device: a hint repeated at every exchange would only be clicked away.

#include <set>
#include <string>
#include <vector>

class TLatencyCheck {
public:
    explicit TLatencyCheck(std::string root = "/") : root_(std::move(root)) {}

    // The hint lines (LatencyHint) when the device's latency timer stays above 1 ms and this
    // device has not had them yet; empty otherwise.
    std::vector<std::string> HintFor(const std::string& devicePath);

private:
    std::string root_;
    std::set<std::string> told_; // kernel names (ttyUSB0)
};
