// One stored 16-byte tag record turned into the four texts of a CSV row.
//
// Byte 0 picks the layout: 1 is HDX, anything else FDX-B. HDX carries a
// 32-bit big-endian identity, FDX-B a 38-bit identity whose low 32 bits are
// little-endian. The time of reading is unsigned 32-bit seconds since 1970
// (valid until 2106), shown in the PC's local time; a time the C library
// cannot convert gives an empty text.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/frame.h"

using TagRecord = std::array<uint8_t, kTagRecordSize>;

struct DecodedTag {
    std::string type;      // "HDX" or "FDXB"
    std::string country;   // at least three digits
    std::string identity;  // ten digits (HDX) or twelve (FDX-B)
    std::string time;      // "YYYY-MM-DD HH:MM:SS", or empty
};

DecodedTag DecodeTagRecord(const TagRecord& record);

// The time of reading as stored: unsigned seconds since 1970.
uint32_t TagRecordSeconds(const TagRecord& record);
