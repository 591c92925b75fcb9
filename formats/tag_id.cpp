#include "formats/tag_id.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

#include "formats/form_names.h"
#include "ops/csv_writer.h"
#include "ops/format_text.h"

namespace {

const std::array<const char*, 4> kFormNames = {"split", "eid15", "spaced", "eid16"};
const char* const kFourDigitCountryFormat = "%04u";
const char* const kSeparators = " -";
const char* const kSpaces = " \t";
constexpr size_t kDigitsInShortForm = 15;
constexpr size_t kDigitsInLongForm = 16;
constexpr size_t kCountryDigits = 3;
constexpr size_t kNationalDigits = 12;
constexpr unsigned kMaxSingleTextCountry = 999;
constexpr std::string_view kUkLetters = "UK";
const char* const kUkCountry = "826";
constexpr size_t kUkFlockDigits = 7;
constexpr size_t kUkAnimalDigits = 5;
// "00000 0": the two fields a registry may print before the country code.
constexpr size_t kZeroFieldDigits[] = {5, 1};
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
                                 "national number (more only in 00000 0 982 000196588496 and in the UK's "
                                 "826 0713393 00045)";
const char* const kZeroFieldsFormat =
    "not an ID: the fields before the country code are zeros (00000 0 982 000196588496), not \"%s\"";
const char* const kUkGroupsFormat = "not an ID: a 7-digit flock and a 5-digit animal number are the UK's "
                                    "form, country code 826, not %s";
const char* const kUkForm = "not a UK tag: it is UK, the 7-digit flock number, a space and the 5-digit "
                            "animal number (UK0713393 00045)";
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

bool AllZeros(std::string_view text) { return text.find_first_not_of('0') == std::string_view::npos; }

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

std::optional<std::string> CountryPartRefusal(std::string_view country) {
    if (country.size() == kCountryDigits || country.size() == kCountryDigits + 1) return std::nullopt;
    return FormatText(kCountryPartFormat, country.size());
}

TagIdParse Separated(std::string_view country, std::string_view national) {
    if (auto refusal = CountryPartRefusal(country)) return Refused(*refusal);
    if (national.size() > kNationalDigits) return Refused(FormatText(kNationalPartFormat, national.size()));
    return Checked(country, national, kMaxSingleTextCountry);
}

// The runs of digits between gaps; false when a gap holds more than one
// dash or the text starts or ends with one. A run of spaces is one gap; a
// dash between spaces too.
bool SplitIntoGroups(std::string_view text, std::vector<std::string_view>& groups) {
    size_t start = 0;
    while (start < text.size()) {
        if (!IsDigit(text[start])) return false;
        const size_t gap = std::min(text.find_first_of(kSeparators, start), text.size());
        groups.push_back(text.substr(start, gap - start));
        start = std::min(text.find_first_not_of(kSeparators, gap), text.size());
        const std::string_view between = text.substr(gap, start - gap);
        if (std::count(between.begin(), between.end(), '-') > 1) return false;
        if (start == text.size() && !between.empty()) return false;
    }
    return true;
}

bool StartsWithUk(std::string_view text) {
    return text.size() >= kUkLetters.size() && std::toupper(static_cast<unsigned char>(text[0])) == kUkLetters[0] &&
           std::toupper(static_cast<unsigned char>(text[1])) == kUkLetters[1];
}

// The flock and animal numbers of a UK tag are its national number.
TagIdParse UkNational(std::string_view country, std::string_view flock, std::string_view animal) {
    return Checked(country, std::string(flock) + std::string(animal), kMaxSingleTextCountry);
}

// What follows "UK": the 7-digit flock number, a gap, the 5-digit animal
// number; the flock's leading 0 may stand apart ("UK 0 713393 00045").
TagIdParse UkTag(std::string_view text) {
    std::vector<std::string_view> groups;
    if (!SplitIntoGroups(Trimmed(text, kSpaces), groups)) return Refused(kUkForm);
    std::string flock;
    if (groups.size() == 2) flock = groups[0];
    if (groups.size() == 3 && groups[0] == "0") flock = "0" + std::string(groups[1]);
    if (flock.size() != kUkFlockDigits || groups.back().size() != kUkAnimalDigits) return Refused(kUkForm);
    return UkNational(kUkCountry, flock, groups.back());
}

TagIdParse UkGroups(std::string_view country, std::string_view flock, std::string_view animal) {
    if (flock.size() != kUkFlockDigits || animal.size() != kUkAnimalDigits) return Refused(kTooManyGaps);
    if (auto refusal = CountryPartRefusal(country)) return Refused(*refusal);
    if (Number(country) != Number(kUkCountry)) return Refused(FormatText(kUkGroupsFormat, std::string(country).c_str()));
    return UkNational(country, flock, animal);
}

TagIdParse ZeroPrefixed(const std::vector<std::string_view>& groups) {
    if (groups[0].size() != kZeroFieldDigits[0] || groups[1].size() != kZeroFieldDigits[1]) return Refused(kTooManyGaps);
    if (!AllZeros(groups[0]) || !AllZeros(groups[1])) {
        return Refused(FormatText(kZeroFieldsFormat, (std::string(groups[0]) + ' ' + std::string(groups[1])).c_str()));
    }
    return Separated(groups[2], groups[3]);
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
    const std::string national = TwelveDigits(id.national);
    const std::string country = CountryText(id.country);
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
    const bool uk = StartsWithUk(text);
    if (uk) text.remove_prefix(kUkLetters.size());
    const auto stray = std::find_if(text.begin(), text.end(), [](char c) {
        return !IsDigit(c) && std::string_view(kSeparators).find(c) == std::string_view::npos;
    });
    if (stray != text.end()) return Refused(FormatText(kStrayCharacterFormat, *stray));
    if (uk) return UkTag(text);
    std::vector<std::string_view> groups;
    if (!SplitIntoGroups(text, groups)) return Refused(kTooManyGaps);
    switch (groups.size()) {
    case 1: return Unseparated(groups[0]);
    case 2: return Separated(groups[0], groups[1]);
    case 3: return UkGroups(groups[0], groups[1], groups[2]);
    case 4: return ZeroPrefixed(groups);
    default: return Refused(kTooManyGaps);
    }
}

TagIdParse ParseTagId(std::string_view country, std::string_view national) {
    if (auto refusal = ColumnRefusal(country, kCountryPartFormat, kCountryDigits + 1)) return Refused(*refusal);
    if (auto refusal = ColumnRefusal(national, kNationalPartFormat, kNationalDigits)) return Refused(*refusal);
    return Checked(country, national, kMaxCountryCode);
}
