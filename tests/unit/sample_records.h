// The records and the time that several tests export and decode.
#pragma once

#include "ops/clock.h"
#include "ops/tag_record.h"

// FDX-B 982 123456789012 and HDX 982 0123456789, both read at 2020-09-13 12:26:40 UTC.
inline const TagRecord kFdxb = {0x00, 0x14, 0x1A, 0x99, 0xBE, 0x9C, 0xF5, 0, 0, 0, 0, 0, 0x5F, 0x5E, 0x10, 0x00};
inline const TagRecord kHdx = {0x01, 0x00, 0x00, 0xF5, 0x80, 0x07, 0x5B, 0xCD, 0x15, 0, 0, 0, 0x5F, 0x5E, 0x10, 0x00};

// When an export in the tests starts: its file is 20210919_0544.*.
inline const LocalTime kMorning{2021, 9, 19, 5, 44, 59};
