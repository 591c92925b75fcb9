#include "link/bluetooth_port_name.h"

#include <cctype>

namespace {

constexpr size_t kAddressLength = 17;  // six bytes in hex, five colons
constexpr int kLastChannel = 30;

bool IsAddress(const std::string& text) {
    if (text.size() != kAddressLength) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        bool colon = i % 3 == 2;
        if (colon ? text[i] != ':' : !std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

}  // namespace

bool IsBluetoothPortName(const std::string& name) { return name.starts_with(kBluetoothPortPrefix); }

std::optional<BluetoothPortName> ParseBluetoothPortName(const std::string& name) {
    if (!IsBluetoothPortName(name)) return std::nullopt;
    std::string rest = name.substr(std::char_traits<char>::length(kBluetoothPortPrefix));
    BluetoothPortName parsed;
    if (size_t slash = rest.find('/'); slash != std::string::npos) {
        std::string channel = rest.substr(slash + 1);
        if (channel.empty() || channel.size() > 2 || channel.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        parsed.channel = std::stoi(channel);
        if (parsed.channel < 1 || parsed.channel > kLastChannel) return std::nullopt;
        rest.resize(slash);
    }
    if (!IsAddress(rest)) return std::nullopt;
    parsed.address = NormalBluetoothAddress(rest);
    return parsed;
}

std::string NormalBluetoothAddress(const std::string& address) {
    std::string text = address;
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string BluetoothPortNameOf(const std::string& address) {
    return kBluetoothPortPrefix + NormalBluetoothAddress(address);
}
