#include "formats/iso_time.h"

#include <chrono>
#include <cstdlib>

#include "ops/format_text.h"
#include "ops/local_time.h"

namespace {

const char* const kIsoFormat = "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d";

}  // namespace

std::optional<std::string> IsoLocalTime(uint32_t seconds) {
    LocalTime local;
    if (!ToLocalTime(seconds, local)) return std::nullopt;
    // The offset is how far the local clock reading, taken as if it were UTC, is from the instant.
    namespace chrono = std::chrono;
    const chrono::sys_days day{chrono::year{local.year} / local.month / local.day};
    const int64_t asUtc = chrono::duration_cast<chrono::seconds>(day.time_since_epoch()).count() +
                          local.hour * 3600 + local.minute * 60 + local.second;
    const int64_t offsetMinutes = (asUtc - int64_t{seconds}) / 60;
    const int64_t magnitude = std::llabs(offsetMinutes);
    return FormatText(kIsoFormat, local.year, local.month, local.day, local.hour, local.minute, local.second,
                      offsetMinutes < 0 ? '-' : '+', int(magnitude / 60), int(magnitude % 60));
}
