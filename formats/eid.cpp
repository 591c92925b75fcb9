#include "formats/eid.h"

namespace {

constexpr size_t kNationalDigits = 12;

}  // namespace

std::string Eid(const DecodedTag& tag) {
    const size_t padding = tag.identity.size() < kNationalDigits ? kNationalDigits - tag.identity.size() : 0;
    return tag.country + std::string(padding, '0') + tag.identity;
}
