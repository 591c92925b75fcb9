#include "ops/tag_record.h"

#include "ops/format_text.h"
#include "ops/local_time.h"

namespace {

constexpr uint8_t kHdxMarker = 1;
const char* const kTypeHdx = "HDX";
const char* const kTypeFdxb = "FDXB";
const char* const kCountryFormat = "%03u";
const char* const kHdxIdentityFormat = "%010u";
const char* const kFdxbIdentityFormat = "%08u%04u";
const char* const kTimeFormat = "%04d-%02d-%02d %02d:%02d:%02d";

std::string TimeText(uint32_t seconds) {
    LocalTime local;
    if (!ToLocalTime(seconds, local)) return {};
    return FormatText(kTimeFormat, local.year, local.month, local.day, local.hour, local.minute, local.second);
}

}  // namespace

DecodedTag DecodeTagRecord(const TagRecord& r) {
    DecodedTag tag;
    if (r[0] == kHdxMarker) {
        tag.type = kTypeHdx;
        unsigned country = ((unsigned{r[3]} << 8) | r[4]) >> 6;
        tag.country = FormatText(kCountryFormat, country);
        // Unsigned: identities of 2^31 and more are ordinary ten-digit numbers.
        uint32_t identity = GetBigEndian32(&r[5]);
        tag.identity = FormatText(kHdxIdentityFormat, unsigned{identity});
    } else {
        tag.type = kTypeFdxb;
        unsigned country = (unsigned{r[6]} << 2) | (r[5] >> 6);
        tag.country = FormatText(kCountryFormat, country);
        uint64_t low = uint64_t{r[1]} | (uint64_t{r[2]} << 8) | (uint64_t{r[3]} << 16) | (uint64_t{r[4]} << 24);
        uint64_t identity = (uint64_t{r[5] & 0x3Fu} << 32) | low;
        // Below 2^38 the quotient has at most eight digits: always twelve in all.
        tag.identity = FormatText(kFdxbIdentityFormat, static_cast<unsigned>(identity / 10000),
                              static_cast<unsigned>(identity % 10000));
    }
    tag.time = TimeText(TagRecordSeconds(r));
    return tag;
}

// Unsigned: a reader keeps working past January 2038.
uint32_t TagRecordSeconds(const TagRecord& record) { return GetBigEndian32(&record[12]); }
