#include "link/com_port_device.h"

#include <algorithm>
#include <cctype>

namespace {

const std::string_view kUsbEnumerator = "USB\\";
const std::string_view kBluetoothEnumerator = "BTHENUM\\";
const std::string_view kInterfaceMark = "&MI_";
const char* const kIncoming = "Bluetooth incoming";
const char* const kOutgoing = "Bluetooth outgoing";

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    return upper;
}

// The four hex digits after `key` (VID_, PID_), in lower case; empty without them.
std::string HexAfter(const std::string& id, std::string_view key) {
    size_t at = id.find(key);
    if (at == std::string::npos || id.size() < at + key.size() + 4) return {};
    std::string digits = id.substr(at + key.size(), 4);
    if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c); })) return {};
    std::transform(digits.begin(), digits.end(), digits.begin(), [](unsigned char c) { return std::tolower(c); });
    return digits;
}

void AddField(std::string& text, const std::string& field) {
    if (field.empty()) return;
    if (!text.empty()) text += "  ";
    text += field;
}

}  // namespace

std::string UsbIdOf(std::string_view instanceId) {
    std::string id = Upper(instanceId);
    std::string vendor = HexAfter(id, "VID_");
    std::string product = HexAfter(id, "PID_");
    return vendor.empty() || product.empty() ? std::string() : vendor + ":" + product;
}

std::string UsbSerialOf(std::string_view instanceId) {
    size_t instance = instanceId.rfind('\\');
    if (!Upper(instanceId).starts_with(kUsbEnumerator) || instance == instanceId.find('\\')) return {};
    std::string_view hardware = instanceId.substr(0, instance);
    std::string_view serial = instanceId.substr(instance + 1);
    if (Upper(hardware).find(kInterfaceMark) != std::string::npos || serial.find('&') != std::string_view::npos)
        return {};
    return std::string(serial);
}

BluetoothDirection BluetoothLinkOf(std::string_view instanceId) {
    if (!Upper(instanceId).starts_with(kBluetoothEnumerator)) return BluetoothDirection::Unknown;
    return ParseBluetoothInstance(instanceId).direction;
}

std::string DescribeComPort(const ComPortDevice& device) {
    std::string text;
    AddField(text, device.friendlyName);
    AddField(text, device.usbId);
    if (!device.serial.empty()) AddField(text, "serial " + device.serial);
    if (!device.service.empty()) AddField(text, "driver " + device.service);
    if (device.bluetooth != BluetoothDirection::Unknown)
        AddField(text, device.bluetooth == BluetoothDirection::Incoming ? kIncoming : kOutgoing);
    return text;
}
