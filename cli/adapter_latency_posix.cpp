#include "cli/adapter_latency.h"

#include "link/device_tree.h"

namespace {

const char* const kUdevHint =
    "a udev rule lowers it to 1 ms: see /usr/share/doc/kavrin/examples/99-kavrin-usb-serial.rules";

}  // namespace

std::optional<int> AdapterLatencyMs(const std::string& port) { return ReadLatencyTimer(DeviceTree{}, port); }

std::string LowerLatencyHint(const std::string&) { return kUdevHint; }
