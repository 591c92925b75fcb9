// Any 16 bytes as a stored tag record: the four texts keep their promised
// shape and carry exactly the numbers the layout puts in the bytes.
#include <cstdlib>
#include <cstring>
#include <string>

#include "ops/tag_record.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

bool AllDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// "YYYY-MM-DD HH:MM:SS", digits where the pattern has them.
bool IsTimestamp(const std::string& text) {
    const char* pattern = "dddd-dd-dd dd:dd:dd";
    if (text.size() != std::strlen(pattern)) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (pattern[i] == 'd' ? !digit : text[i] != pattern[i]) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kTagRecordSize) return 0;
    TagRecord record;
    std::memcpy(record.data(), data, record.size());
    const DecodedTag tag = DecodeTagRecord(record);
    const auto b = [&](size_t i) { return uint64_t{record[i]}; };

    const bool hdx = record[0] == 1;
    Check(tag.type == (hdx ? "HDX" : "FDXB"));

    const uint64_t country = hdx ? ((b(3) << 8 | b(4)) >> 6) : (b(6) << 2 | b(5) >> 6);
    Check(AllDigits(tag.country) && tag.country.size() == (country >= 1000 ? 4u : 3u));
    Check(std::stoull(tag.country) == country);

    const uint64_t identity = hdx ? (b(5) << 24 | b(6) << 16 | b(7) << 8 | b(8))
                                  : ((b(5) & 0x3F) << 32 | b(4) << 24 | b(3) << 16 | b(2) << 8 | b(1));
    Check(AllDigits(tag.identity) && tag.identity.size() == (hdx ? 10u : 12u));
    Check(std::stoull(tag.identity) == identity);

    Check(tag.time.empty() || IsTimestamp(tag.time));
    return 0;
}
