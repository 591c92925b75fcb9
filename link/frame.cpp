#include "link/frame.h"

const CommandInfo* FindCommand(uint8_t code) {
    for (const CommandInfo& info : kCommands) {
        if (info.code == code) return &info;
    }
    return nullptr;
}

uint8_t FrameChecksum(const uint8_t* bytes, size_t n) {
    uint8_t sum = 0;
    for (size_t i = 0; i < n; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
    return static_cast<uint8_t>(-sum);
}

std::vector<uint8_t> BuildRequest(uint8_t command, std::span<const uint8_t> data) {
    std::vector<uint8_t> frame;
    frame.reserve(data.size() + 5);
    frame.push_back(kRequestHeader0);
    frame.push_back(kRequestHeader1);
    frame.push_back(static_cast<uint8_t>(data.size() + 2));
    frame.push_back(command);
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(0);
    frame.back() = FrameChecksum(frame.data(), frame.size() - 1);
    return frame;
}

uint32_t GetBigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

void PutBigEndian32(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value >> 24);
    p[1] = static_cast<uint8_t>(value >> 16);
    p[2] = static_cast<uint8_t>(value >> 8);
    p[3] = static_cast<uint8_t>(value);
}
