#include "link/bluetooth_instance.h"

#include <cwctype>

namespace {

constexpr size_t kAddressDigits = 12;
const char* const kIncoming = "incoming";
const char* const kOutgoingTo = "outgoing to ";

}  // namespace

BluetoothInstance ParseBluetoothInstance(std::wstring_view instance) {
    size_t begin = instance.rfind(L'&');
    begin = begin == std::wstring_view::npos ? 0 : begin + 1;
    std::wstring_view digits = instance.substr(begin, instance.find(L'_', begin) - begin);
    BluetoothInstance parsed;
    if (digits.size() != kAddressDigits) return parsed;
    bool zeros = true;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (!std::iswxdigit(digits[i])) return {};
        zeros = zeros && digits[i] == L'0';
        if (i > 0 && i % 2 == 0) parsed.address += ':';
        parsed.address += static_cast<char>(std::towupper(digits[i]));
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
