// Frame layout shared by the program and the virtual reader.
//
// A request is 0A FF L CMD DATA... SUM, where L counts the command byte, the
// data and the checksum, and SUM makes all bytes of the frame add up to 0
// modulo 256. A response is 0B xx L STATUS PAYLOAD..., L bytes after the
// three-byte header, with no checksum checked. Numbers on the wire are
// big-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr uint8_t kRequestHeader0 = 0x0A;
inline constexpr uint8_t kRequestHeader1 = 0xFF;
inline constexpr uint8_t kResponseHeader = 0x0B;

// 3 header bytes plus the largest length byte.
inline constexpr size_t kResponseBufferSize = 3 + 255;
using ResponseBuffer = std::array<uint8_t, kResponseBufferSize>;

inline constexpr uint8_t CMD_SET_TIME = 0x20;
inline constexpr uint8_t CMD_GET_VERSION = 0x22;
inline constexpr uint8_t CMD_SET_PARAMS = 0x23;
inline constexpr uint8_t CMD_GET_PARAMS = 0x24;
inline constexpr uint8_t CMD_UPGRADE_START = 0x31;
inline constexpr uint8_t CMD_UPGRADE_DATA = 0x32;
inline constexpr uint8_t CMD_UPGRADE_END = 0x33;
inline constexpr uint8_t CMD_ERASE = 0x34;
inline constexpr uint8_t CMD_GET_RECORD_COUNT = 0x40;
inline constexpr uint8_t CMD_GET_RECORDS = 0x41;
inline constexpr uint8_t CMD_DELETE_RECORDS = 0x42;

inline constexpr std::array<uint8_t, 4> kEraseKey = {0xC3, 0x3C, 0x62, 0x19};
inline constexpr size_t kFirmwareBlockSize = 128;
inline constexpr size_t kTagRecordSize = 16;
inline constexpr uint8_t kRecordsPerRequest = 10;

struct CommandInfo {
    uint8_t code;
    const char* name;
    size_t requestLength;  // whole frame, header and checksum included
};

inline constexpr std::array<CommandInfo, 11> kCommands = {{
    {CMD_SET_TIME, "CMD_SET_TIME", 11},
    {CMD_GET_VERSION, "CMD_GET_VERSION", 5},
    {CMD_SET_PARAMS, "CMD_SET_PARAMS", 9},
    {CMD_GET_PARAMS, "CMD_GET_PARAMS", 5},
    {CMD_UPGRADE_START, "CMD_UPGRADE_START", 9},
    {CMD_UPGRADE_DATA, "CMD_UPGRADE_DATA", 5 + kFirmwareBlockSize},
    {CMD_UPGRADE_END, "CMD_UPGRADE_END", 5},
    {CMD_ERASE, "CMD_ERASE", 9},
    {CMD_GET_RECORD_COUNT, "CMD_GET_RECORD_COUNT", 5},
    {CMD_GET_RECORDS, "CMD_GET_RECORDS", 10},
    {CMD_DELETE_RECORDS, "CMD_DELETE_RECORDS", 5},
}};

// The table entry of a command code, or nullptr for an unknown code.
const CommandInfo* FindCommand(uint8_t code);

// The byte that makes bytes [0, n) plus itself sum to 0 modulo 256.
uint8_t FrameChecksum(const uint8_t* bytes, size_t n);

// A request frame for `command` carrying `data`, with its checksum filled in.
std::vector<uint8_t> BuildRequest(uint8_t command, std::span<const uint8_t> data = {});

uint32_t GetBigEndian32(const uint8_t* p);
void PutBigEndian32(uint8_t* p, uint32_t value);
