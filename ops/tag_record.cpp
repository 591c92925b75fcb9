#include "ops/tag_record.h"

namespace {

constexpr uint8_t kHdxMarker = 1;

}  // namespace

DecodedTag DecodeTagRecord(const TagRecord& r) {
    DecodedTag tag;
    if (r[0] == kHdxMarker) {
        tag.type = TagType::Hdx;
        tag.id.country = ((unsigned{r[3]} << 8) | r[4]) >> 6;
        // Unsigned: identities of 2^31 and more are ordinary numbers.
        tag.id.national = GetBigEndian32(&r[5]);
    } else {
        tag.type = TagType::Fdxb;
        tag.id.country = (unsigned{r[6]} << 2) | (r[5] >> 6);
        const uint64_t low = uint64_t{r[1]} | (uint64_t{r[2]} << 8) | (uint64_t{r[3]} << 16) | (uint64_t{r[4]} << 24);
        tag.id.national = (uint64_t{r[5] & 0x3Fu} << 32) | low;
    }
    // Unsigned: a reader keeps working past January 2038.
    tag.seconds = GetBigEndian32(&r[12]);
    return tag;
}
