#include "doctor/usb_devices.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char* const kUsbDevices = "bus/usb/devices";

unsigned Hex(const std::string& text) {
    try {
        return static_cast<unsigned>(std::stoul(text, nullptr, 16));
    } catch (const std::exception&) {
        return 0;
    }
}

// An interface's folder is named for its device, configuration and number: 1-2:1.0.
std::vector<std::string> UnservedInterfaces(const fs::path& device) {
    std::vector<std::string> interfaces;
    std::string prefix = device.filename().string() + ":";
    std::error_code error;
    for (fs::directory_iterator it(device, error), end; !error && it != end; it.increment(error)) {
        if (!it->path().filename().string().starts_with(prefix)) continue;
        std::error_code missing;
        if (fs::exists(it->path() / "driver", missing)) continue;
        std::string alias = SysfsAttribute(it->path() / "modalias");
        if (!alias.empty()) interfaces.push_back(alias);
    }
    std::sort(interfaces.begin(), interfaces.end());
    return interfaces;
}

}  // namespace

std::vector<UsbDevice> UsbDevices(const Host& host) {
    std::vector<UsbDevice> devices;
    std::error_code error;
    for (fs::directory_iterator it(host.sys / kUsbDevices, error), end; !error && it != end; it.increment(error)) {
        if (it->path().filename().string().find(':') != std::string::npos) continue;
        std::error_code gone;
        fs::path folder = fs::canonical(it->path(), gone);
        if (gone) continue;
        std::string vendor = SysfsAttribute(folder / "idVendor");
        std::string product = SysfsAttribute(folder / "idProduct");
        if (vendor.empty() || product.empty()) continue;
        UsbDevice device{Hex(vendor), Hex(product), vendor + ":" + product, UnservedInterfaces(folder)};
        if (std::string name = SysfsAttribute(folder / "product"); !name.empty()) device.label += " " + name;
        devices.push_back(device);
    }
    std::sort(devices.begin(), devices.end(), [](const UsbDevice& a, const UsbDevice& b) { return a.label < b.label; });
    return devices;
}
