#include "link/bluetooth_instance.h"

#include <cctype>

namespace {

constexpr size_t kAddressDigits = 12;
const char* const kIncoming = "incoming";
const char* const kOutgoingTo = "outgoing to ";

}  // namespace

BluetoothInstance ParseBluetoothInstance(std::string_view instance) {
    size_t begin = instance.rfind('&');
    begin = begin == std::string_view::npos ? 0 : begin + 1;
    std::string_view digits = instance.substr(begin, instance.find('_', begin) - begin);
    BluetoothInstance parsed;
    if (digits.size() != kAddressDigits) return parsed;
    bool zeros = true;
    for (size_t i = 0; i < digits.size(); ++i) {
        const unsigned char digit = static_cast<unsigned char>(digits[i]);
        if (!std::isxdigit(digit)) return {};
        zeros = zeros && digit == '0';
        if (i > 0 && i % 2 == 0) parsed.address += ':';
        parsed.address += static_cast<char>(std::toupper(digit));
    }
    if (zeros) return {BluetoothDirection::Incoming, {}};
    parsed.direction = BluetoothDirection::Outgoing;
    return parsed;
}

std::string DescribeBluetoothInstance(const BluetoothInstance& instance) {
    switch (instance.direction) {
    case BluetoothDirection::Incoming: return kIncoming;
    case BluetoothDirection::Outgoing: return kOutgoingTo + instance.address;
    case BluetoothDirection::Unknown: break;
    }
    return {};
}
