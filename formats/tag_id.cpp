#include "formats/tag_id.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "formats/form_names.h"
#include "ops/format_text.h"

namespace {

const std::array<const char*, 4> kFormNames = {"split", "eid15", "spaced", "eid16"};
const char* const kCountryFormat = "%03u";
const char* const kFourDigitCountryFormat = "%04u";
// Two parts: MinGW's printf is not sure to know %llu, and 38 bits over 10^4 fit 32.
const char* const kNationalFormat = "%08u%04u";
const char* const kSeparators = " -";
const char* const kSpaces = " \t";
constexpr size_t kDigitsInShortForm = 15;
constexpr size_t kDigitsInLongForm = 16;
constexpr size_t kCountryDigits = 3;
constexpr size_t kNationalDigits = 12;
constexpr unsigned kMaxSingleTextCountry = 999;
constexpr TagId kExampleTag = {982, 123456789};
const char* const kTwoColumnsFormat = "%s, %s in two columns";

const char* const kEmpty = "no ID: the text is empty";
const char* const kSpreadsheetNumber =
    "a spreadsheet has turned this ID into a number like 9.82E+14 and lost its last digits: "
    "keep the column as text";
const char* const kStrayCharacterFormat =
    "not an ID: it holds '%c'; an ID is digits, with at most a space or a dash after the country code";
const char* const kDigitCountFormat = "not an ID: %zu digits; an ID has 15, or 16 with a leading 0";
const char* const kTooManyGaps = "not an ID: one space or dash may separate the country code and the "
                                 "national number, no more";
const char* const kCountryPartFormat = "not an ID: a country code of %zu digits; it has 3, or 4 with a leading 0";
const char* const kNationalPartFormat = "not an ID: a national number of %zu digits; it has at most 12";
const char* const kCountryAbove999Format = "country code %u is above 999: no 15-digit ID holds it";
const char* const kCountryAbove1023Format = "country code %s is above 1023, the largest ten bits hold";
const char* const kNationalTooLargeFormat = "national number %s is above 274877906943, the largest 38 bits hold";

TagIdParse Refused(std::string reason) { return {std::nullopt, std::move(reason)}; }

std::string_view Trimmed(std::string_view text, const char* characters) {
    const size_t first = text.find_first_not_of(characters);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(characters) - first + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view text) { return std::all_of(text.begin(), text.end(), IsDigit); }

// Exponent notation is how spreadsheets show a long number they have
// rounded: "9.82E+14", "9,82123E+14".
bool IsExponentNotation(std::string_view text) {
    const size_t e = text.find_first_of("eE");
    if (e == std::string_view::npos || e == 0) return false;
    const std::string_view mantissa = text.substr(0, e);
    std::string_view exponent = text.substr(e + 1);
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.remove_prefix(1);
    const bool mantissaOk = IsDigit(mantissa[0]) && std::all_of(mantissa.begin(), mantissa.end(), [](char c) {
                                return IsDigit(c) || c == '.' || c == ',';
                            });
    return mantissaOk && !exponent.empty() && AllDigits(exponent);
}

uint64_t Number(std::string_view digits) {
    uint64_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

// Both parts are digits of a length already checked.
TagIdParse Checked(std::string_view country, std::string_view national, unsigned maxCountry) {
    const uint64_t code = Number(country);
    if (code > maxCountry) {
        return Refused(maxCountry == kMaxSingleTextCountry
                           ? FormatText(kCountryAbove999Format, static_cast<unsigned>(code))
                           : FormatText(kCountryAbove1023Format, std::string(country).c_str()));
    }
    const uint64_t number = Number(national);
    if (number > kMaxNationalNumber) {
        return Refused(FormatText(kNationalTooLargeFormat, std::string(national).c_str()));
    }
    return {TagId{static_cast<unsigned>(code), number}, {}};
}

TagIdParse Unseparated(std::string_view digits) {
    if (digits.size() != kDigitsInShortForm && digits.size() != kDigitsInLongForm) {
        return Refused(FormatText(kDigitCountFormat, digits.size()));
    }
    const size_t countryDigits = digits.size() - kNationalDigits;
    return Checked(digits.substr(0, countryDigits), digits.substr(countryDigits), kMaxSingleTextCountry);
}

TagIdParse Separated(std::string_view country, std::string_view national) {
    if (national.find_first_of(kSeparators) != std::string_view::npos) return Refused(kTooManyGaps);
    if (country.size() != kCountryDigits && country.size() != kCountryDigits + 1) {
        return Refused(FormatText(kCountryPartFormat, country.size()));
    }
    if (national.size() > kNationalDigits) return Refused(FormatText(kNationalPartFormat, national.size()));
    return Checked(country, national, kMaxSingleTextCountry);
}

// A column of the window's file, which a spreadsheet may have shortened
// by its leading zeros: any count of digits up to the longest form. Why it
// is refused, or nothing; `text` loses its surrounding spaces.
std::optional<std::string> ColumnRefusal(std::string_view& text, const char* tooLongFormat, size_t maxDigits) {
    text = Trimmed(text, kSpaces);
    if (text.empty()) return kEmpty;
    if (IsExponentNotation(text)) return kSpreadsheetNumber;
    const auto stray = std::find_if(text.begin(), text.end(), [](char c) { return !IsDigit(c); });
    if (stray != text.end()) return FormatText(kStrayCharacterFormat, *stray);
    if (text.size() > maxDigits) return FormatText(tooLongFormat, text.size());
    return std::nullopt;
}

}  // namespace

std::vector<std::string> IdFormNames() { return AllNames(kFormNames); }

std::string_view IdFormName(IdForm form) { return NameOf(kFormNames, form); }

std::optional<IdForm> IdFormFromName(std::string_view name) { return FormNamed<IdForm>(kFormNames, name); }

std::vector<std::string> FormatTagId(const TagId& id, IdForm form) {
    const std::string national = FormatText(kNationalFormat, static_cast<unsigned>(id.national / 10000),
                                            static_cast<unsigned>(id.national % 10000));
    const std::string country = FormatText(kCountryFormat, id.country);
    switch (form) {
    case IdForm::Split: return {country, national};
    case IdForm::Eid15: return {country + national};
    case IdForm::Spaced: return {country + ' ' + national};
    case IdForm::Eid16: return {FormatText(kFourDigitCountryFormat, id.country) + national};
    }
    return {};
}

std::string IdFormExample(IdForm form) {
    const std::vector<std::string> texts = FormatTagId(kExampleTag, form);
    if (texts.size() == 2) return FormatText(kTwoColumnsFormat, texts[0].c_str(), texts[1].c_str());
    return texts.front();
}

TagIdParse ParseTagId(std::string_view text) {
    text = Trimmed(text, kSpaces);
    if (text.empty()) return Refused(kEmpty);
    if (IsExponentNotation(text)) return Refused(kSpreadsheetNumber);
    const auto stray = std::find_if(text.begin(), text.end(), [](char c) {
        return !IsDigit(c) && std::string_view(kSeparators).find(c) == std::string_view::npos;
    });
    if (stray != text.end()) return Refused(FormatText(kStrayCharacterFormat, *stray));
    const size_t gap = text.find_first_of(kSeparators);
    if (gap == std::string_view::npos) return Unseparated(text);
    const size_t national = text.find_first_not_of(kSeparators, gap);
    if (gap == 0 || national == std::string_view::npos) return Refused(kTooManyGaps);
    // A run of spaces is one gap; a dash between spaces too.
    const std::string_view between = text.substr(gap, national - gap);
    if (std::count(between.begin(), between.end(), '-') > 1) return Refused(kTooManyGaps);
    return Separated(text.substr(0, gap), text.substr(national));
}

TagIdParse ParseTagId(std::string_view country, std::string_view national) {
    if (auto refusal = ColumnRefusal(country, kCountryPartFormat, kCountryDigits + 1)) return Refused(*refusal);
    if (auto refusal = ColumnRefusal(national, kNationalPartFormat, kNationalDigits)) return Refused(*refusal);
    return Checked(country, national, kMaxCountryCode);
}

TagId TagIdOf(const DecodedTag& tag) {
    return TagId{static_cast<unsigned>(Number(tag.country)), Number(tag.identity)};
}

TagId TagIdOf(const TagRecord& record) { return TagIdOf(DecodeTagRecord(record)); }
