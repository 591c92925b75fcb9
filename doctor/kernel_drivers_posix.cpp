// Which kernel serial driver would serve a USB device that has no port,
// from the running kernel's modules.alias, modules.dep and modules.builtin.
#include <algorithm>
#include <fnmatch.h>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <system_error>

#include "doctor/linux_checks.h"
#include "doctor/usb_devices.h"
#include "ops/format_text.h"

namespace fs = std::filesystem;

namespace {

const char* const kNotLoaded = "%s has no serial port: its driver %s is not loaded";
const char* const kLoad = "sudo modprobe %s";
const char* const kNotInstalled = "%s has no serial port: its driver %s is not installed";
const char* const kInstall =
    "install the running kernel's modules again (on Ubuntu: sudo apt install linux-modules-extra-$(uname -r))";
const char* const kNotServing = "%s has no serial port although its driver %s is loaded";
const char* const kReplug = "plug it in again; sudo dmesg tells why the driver did not take it";

// Where the kernel keeps its USB serial drivers; CDC-ACM lives apart.
const char* const kSerialDriverFolder = "/drivers/usb/serial/";
const char* const kAcmModule = "cdc_acm";

// "kernel/drivers/usb/class/cdc-acm.ko.xz" is cdc_acm.
std::string ModuleName(const std::string& path) {
    std::string name = fs::path(path).filename().string();
    name = name.substr(0, name.find('.'));
    for (char& c : name)
        if (c == '-') c = '_';
    return name;
}

bool IsSerialDriver(const std::string& path) {
    return path.find(kSerialDriverFolder) != std::string::npos || ModuleName(path) == kAcmModule;
}

struct SerialAlias {
    std::string pattern;  // usb:v0403p6001d*dc*dsc*dp*ic*isc*ip*in*
    std::string module;
};

struct KernelModules {
    std::map<std::string, std::string> serialPaths;  // module -> its file, under the modules folder
    std::set<std::string> builtIn;
    std::vector<SerialAlias> aliases;
};

KernelModules ReadKernelModules(const fs::path& folder) {
    KernelModules modules;
    std::ifstream dep(folder / "modules.dep");
    for (std::string line; std::getline(dep, line);) {
        std::string path = line.substr(0, line.find(':'));
        if (IsSerialDriver(path)) modules.serialPaths[ModuleName(path)] = path;
    }
    std::ifstream builtin(folder / "modules.builtin");
    for (std::string line; std::getline(builtin, line);)
        if (IsSerialDriver(line)) modules.builtIn.insert(ModuleName(line));
    std::ifstream alias(folder / "modules.alias");
    for (std::string line; std::getline(alias, line);) {
        std::istringstream words(line);
        std::string keyword;
        SerialAlias entry;
        if (!(words >> keyword >> entry.pattern >> entry.module) || !entry.pattern.starts_with("usb:")) continue;
        entry.module = ModuleName(entry.module);
        if (modules.serialPaths.count(entry.module) || modules.builtIn.count(entry.module))
            modules.aliases.push_back(entry);
    }
    return modules;
}

// The serial driver one of the interfaces asks for; empty where none does.
std::string DriverFor(const KernelModules& modules, const std::vector<std::string>& interfaces) {
    for (const std::string& interface : interfaces)
        for (const SerialAlias& alias : modules.aliases)
            if (fnmatch(alias.pattern.c_str(), interface.c_str(), 0) == 0) return alias.module;
    return {};
}

Finding Missing(const Host& host, const KernelModules& modules, const std::string& device, const std::string& module) {
    std::error_code error;
    bool loaded = modules.builtIn.count(module) || fs::exists(host.sys / "module" / module, error);
    if (loaded) return {FormatText(kNotServing, device.c_str(), module.c_str()), kReplug};
    if (!fs::exists(host.modules / modules.serialPaths.at(module), error))
        return {FormatText(kNotInstalled, device.c_str(), module.c_str()), kInstall};
    return {FormatText(kNotLoaded, device.c_str(), module.c_str()), FormatText(kLoad, module.c_str())};
}

}  // namespace

std::vector<Finding> PortlessUsbDevices(const Host& host) {
    std::vector<Finding> findings;
    std::vector<UsbDevice> devices = UsbDevices(host);
    if (std::all_of(devices.begin(), devices.end(), [](const UsbDevice& d) { return d.unservedInterfaces.empty(); }))
        return findings;
    KernelModules modules = ReadKernelModules(host.modules);
    for (const UsbDevice& device : devices) {
        std::string module = DriverFor(modules, device.unservedInterfaces);
        if (!module.empty()) findings.push_back(Missing(host, modules, device.label, module));
    }
    return findings;
}
