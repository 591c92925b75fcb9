// Seconds since 1970 to the PC's local broken-down time.
#pragma once

#include <cstdint>

#include "ops/clock.h"

// False when the C library cannot convert `seconds`; `out` is then untouched.
bool ToLocalTime(int64_t seconds, LocalTime& out);
