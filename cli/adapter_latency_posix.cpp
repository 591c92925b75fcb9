#include "cli/adapter_latency.h"

#include <fstream>
#include <system_error>

#include "cli/device_tree.h"

namespace fs = std::filesystem;

namespace {

const char* const kUdevHint =
    "a udev rule lowers it to 1 ms: see /usr/share/doc/kavrin/examples/99-kavrin-usb-serial.rules";

}  // namespace

std::optional<int> ReadLatencyTimer(const DeviceTree& tree, const std::string& port) {
    std::error_code error;
    fs::path device = fs::canonical(port, error);
    if (error) return std::nullopt;
    std::ifstream in(tree.sysClassTty / device.filename() / "device/latency_timer");
    int ms = 0;
    if (!(in >> ms)) return std::nullopt;
    return ms;
}

std::optional<int> AdapterLatencyMs(const std::string& port) { return ReadLatencyTimer(DeviceTree{}, port); }

std::string LowerLatencyHint(const std::string&) { return kUdevHint; }
