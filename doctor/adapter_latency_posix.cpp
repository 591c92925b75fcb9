#include "doctor/adapter_latency.h"

#include "doctor/linux_checks.h"
#include "link/device_tree.h"

namespace {

const char* const kUdevHint = "a udev rule lowers it to 1 ms: see ";

}  // namespace

std::optional<int> AdapterLatencyMs(const std::string& port) { return ReadLatencyTimer(DeviceTree{}, port); }

std::string LowerLatencyHint(const std::string&) { return kUdevHint + std::string(kShippedUdevRules); }
