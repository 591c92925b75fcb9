// Any 16 bytes as a stored tag record: the decoding carries exactly the
// numbers the layout puts in the bytes, and the window's four texts keep
// their promised shape and say the same numbers.
#include <cstdlib>
#include <cstring>
#include <string>

#include "ops/csv_writer.h"

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
    Check(tag.type == (hdx ? TagType::Hdx : TagType::Fdxb));
    Check(std::string(TypeText(tag.type)) == (hdx ? "HDX" : "FDXB"));

    const uint64_t country = hdx ? ((b(3) << 8 | b(4)) >> 6) : (b(6) << 2 | b(5) >> 6);
    Check(tag.id.country == country);
    const std::string countryText = CountryText(tag.id.country);
    Check(AllDigits(countryText) && countryText.size() == (country >= 1000 ? 4u : 3u));
    Check(std::stoull(countryText) == country);

    const uint64_t identity = hdx ? (b(5) << 24 | b(6) << 16 | b(7) << 8 | b(8))
                                  : ((b(5) & 0x3F) << 32 | b(4) << 24 | b(3) << 16 | b(2) << 8 | b(1));
    Check(tag.id.national == identity);
    const std::string national = NationalText(tag);
    Check(AllDigits(national) && national.size() == (hdx ? 10u : 12u));
    Check(std::stoull(national) == identity);

    Check(tag.seconds == (b(12) << 24 | b(13) << 16 | b(14) << 8 | b(15)));
    const std::string time = TimeText(tag.seconds);
    Check(time.empty() || IsTimestamp(time));
    return 0;
}
