// brltty's udev rules name the USB devices of braille displays, among them
// the vendor and product of common serial adapters (CH340, CP210x, FTDI):
// where brltty is installed, it takes such an adapter from its serial
// driver a moment after plug-in, and the port vanishes.
#include <fstream>
#include <map>
#include <regex>
#include <system_error>

#include "doctor/linux_checks.h"
#include "doctor/process_table.h"
#include "doctor/usb_devices.h"
#include "ops/format_text.h"

namespace fs = std::filesystem;

namespace {

const char* const kBrltty = "brltty";
const char* const kClaimed = "%s is claimed by %s's udev rule %s (%s)";
const char* const kRunning = "brltty runs";
const char* const kInstalled = "brltty is installed";
// The rule's file name goes between the two.
const char* const kStopClaiming = "without a braille display: sudo apt remove brltty; with one: sudo ln -s /dev/null /etc/udev/rules.d/";
const char* const kThenReplug = "; then plug the adapter in again";

// ENV{PRODUCT}=="1a86/7523/*" (hexadecimal without leading zeros), or
// ATTRS{idVendor}=="1a86", ATTRS{idProduct}=="7523".
const std::regex kProductRule(R"re(ENV\{PRODUCT\}=="([0-9a-fA-F]{1,4})/([0-9a-fA-F]{1,4})/)re");
const std::regex kIdRule(R"re(ATTRS?\{idVendor\}=="([0-9a-fA-F]{1,4})".*ATTRS?\{idProduct\}=="([0-9a-fA-F]{1,4})")re");

// The rule files in effect: a name in an earlier folder hides the same
// name in later ones, and one linked to /dev/null is switched off.
std::map<std::string, fs::path> RuleFiles(const Host& host) {
    std::map<std::string, fs::path> files;
    for (const fs::path& folder : host.ruleFolders) {
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
            files.emplace(it->path().filename().string(), it->path());
    }
    for (auto it = files.begin(); it != files.end();) {
        std::error_code error;
        bool off = fs::canonical(it->second, error) == "/dev/null" || it->first.find(kBrltty) == std::string::npos;
        it = off ? files.erase(it) : std::next(it);
    }
    return files;
}

unsigned Hex(const std::string& text) { return static_cast<unsigned>(std::stoul(text, nullptr, 16)); }

bool Claims(const fs::path& rules, const UsbDevice& device) {
    std::ifstream in(rules);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("#")) continue;
        std::smatch match;
        if ((std::regex_search(line, match, kProductRule) || std::regex_search(line, match, kIdRule)) &&
            Hex(match[1]) == device.vendor && Hex(match[2]) == device.product)
            return true;
    }
    return false;
}

bool Installed(const Host& host) {
    for (const fs::path& folder : host.programFolders) {
        std::error_code error;
        if (fs::exists(folder / kBrltty, error)) return true;
    }
    return false;
}

}  // namespace

std::vector<Finding> BrailleClaims(const Host& host) {
    std::vector<Finding> findings;
    const char* state = ProgramRunning(host, kBrltty) ? kRunning : Installed(host) ? kInstalled : nullptr;
    if (state == nullptr) return findings;
    std::map<std::string, fs::path> rules = RuleFiles(host);
    for (const UsbDevice& device : UsbDevices(host))
        for (const auto& [name, path] : rules)
            if (Claims(path, device)) {
                findings.push_back({FormatText(kClaimed, device.label.c_str(), kBrltty, path.c_str(), state),
                                    kStopClaiming + name + kThenReplug});
                break;
            }
    return findings;
}
