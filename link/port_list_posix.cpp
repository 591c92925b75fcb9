#include "link/port_list.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <system_error>

#include "link/device_tree.h"
#include "link/natural_order.h"
#include "link/serial_port.h"

namespace fs = std::filesystem;

namespace {

const char* const kByIdFolder = "serial/by-id";
const char* const kAdapterPrefixes[] = {"ttyUSB", "ttyACM"};
const char* const kDialoutHint =
    "the user must be in the dialout group: sudo usermod -aG dialout $USER, then log in again";

// Entries of `folder` in natural order; none when it cannot be read.
std::vector<fs::path> Entries(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end(),
              [](const fs::path& a, const fs::path& b) { return NaturalLess(a.string(), b.string()); });
    return entries;
}

bool IsAdapterNode(const std::string& device) {
    std::string name = fs::path(device).filename().string();
    for (const char* prefix : kAdapterPrefixes)
        if (name.starts_with(prefix)) return true;
    return false;
}

bool Opens(const std::string& device) {
    PortHandle port = nullptr;
    bool opened = OpenCommPort(port, device) == 0;
    ClosePort(port);
    return opened;
}

// The device each by-id link resolves to, mapped to the link.
std::map<fs::path, fs::path> ByIdLinks(const DeviceTree& tree) {
    std::map<fs::path, fs::path> links;
    for (const fs::path& link : Entries(tree.dev / kByIdFolder)) {
        std::error_code error;
        fs::path target = fs::canonical(link, error);
        if (!error) links.emplace(target, link);
    }
    return links;
}

}  // namespace

std::vector<SerialPortName> ListSerialDevices(const DeviceTree& tree) {
    std::map<fs::path, fs::path> byId = ByIdLinks(tree);
    std::vector<SerialPortName> ports;
    for (const fs::path& tty : Entries(tree.sysClassTty)) {
        std::error_code error;
        if (!fs::exists(tty / "device", error)) continue;
        fs::path device = tree.dev / tty.filename();
        SerialPortName port{device.string(), {}};
        fs::path resolved = fs::canonical(device, error);
        if (!error && byId.count(resolved)) port.byId = byId[resolved].string();
        ports.push_back(port);
    }
    return ports;
}

std::vector<std::string> ListUsbAdapters(const DeviceTree& tree) {
    std::vector<std::string> adapters;
    for (const fs::path& link : Entries(tree.dev / kByIdFolder)) adapters.push_back(link.string());
    if (!adapters.empty()) return adapters;
    for (const fs::path& node : Entries(tree.dev)) {
        if (IsAdapterNode(node.string())) adapters.push_back(node.string());
    }
    return adapters;
}

std::vector<SerialPortName> ListOfferedPorts(const DeviceTree& tree,
                                             const std::function<bool(const std::string&)>& opens) {
    std::vector<SerialPortName> present = ListSerialDevices(tree);
    std::vector<SerialPortName> offered;
    for (const SerialPortName& port : present)
        if (!port.byId.empty()) offered.push_back(port);
    for (const SerialPortName& port : present)
        if (port.byId.empty() && IsAdapterNode(port.device)) offered.push_back(port);
    for (const SerialPortName& port : present)
        if (port.byId.empty() && !IsAdapterNode(port.device) && opens(port.device)) offered.push_back(port);
    return offered;
}

std::vector<SerialPortName> OfferedPorts() { return ListOfferedPorts(DeviceTree{}, Opens); }

std::vector<SerialPortName> PresentSerialPorts() { return ListSerialDevices(DeviceTree{}); }

std::vector<std::string> AdapterPorts() { return ListUsbAdapters(DeviceTree{}); }

std::string AccessDeniedHint() { return kDialoutHint; }

std::vector<SerialPortName> CandidateSerialPorts() { return PresentSerialPorts(); }

std::optional<int> ReadLatencyTimer(const DeviceTree& tree, const std::string& port) {
    std::error_code error;
    fs::path device = fs::canonical(port, error);
    if (error) return std::nullopt;
    std::ifstream in(tree.sysClassTty / device.filename() / "device/latency_timer");
    int ms = 0;
    if (!(in >> ms)) return std::nullopt;
    return ms;
}
