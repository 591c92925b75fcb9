// One stored 16-byte tag record decoded into numbers: the tag's type, its
// ID (country code and national number) and the time of reading. Nothing
// here is text: each writer turns the numbers into the text it needs (the
// window's file: csv_writer.h).
//
// Byte 0 picks the layout: 1 is HDX, anything else FDX-B. HDX carries a
// 32-bit big-endian identity, FDX-B a 38-bit identity whose low 32 bits are
// little-endian; both carry a 10-bit country code. The time of reading is
// unsigned 32-bit seconds since 1970 (valid until 2106).
#pragma once

#include <array>
#include <cstdint>

#include "link/frame.h"

using TagRecord = std::array<uint8_t, kTagRecordSize>;

enum class TagType { Hdx, Fdxb };

// A tag's identification, whatever its type: what registries and the
// user's animal list know a tag by.
struct TagId {
    unsigned country = 0;   // ten bits: up to 1023
    uint64_t national = 0;  // 32 bits (HDX) or 38 (FDX-B)

    bool operator==(const TagId&) const = default;
    auto operator<=>(const TagId&) const = default;
};

inline constexpr unsigned kMaxCountryCode = 1023;
inline constexpr uint64_t kMaxNationalNumber = (uint64_t{1} << 38) - 1;

struct DecodedTag {
    TagType type = TagType::Fdxb;
    TagId id;
    uint32_t seconds = 0;  // the time of reading, since 1970
};

DecodedTag DecodeTagRecord(const TagRecord& record);
