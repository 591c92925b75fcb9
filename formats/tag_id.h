// A tag's identification: the country code and the national number, and
// the forms they are written in for registries, spreadsheets and people.
//
// Forms (by the name a user gives):
//   split   the window's two columns: country code, national number
//   eid15   982123456789012   the country, then the national number in twelve digits
//   spaced  982 123456789012
//   eid16   0982123456789012  the country in four digits
// The country code takes three digits; a code above 999 (ten bits allow up
// to 1023; no tag carries one) is written as it is, in four. The national
// number has at most 38 bits, 274877906943.
//
// The parser takes every form above, a dash in place of the space, the
// four-digit country with the space ("0982 000190869343"), and the two
// columns of the window's file. It refuses, saying why, anything else: a
// number a spreadsheet turned into "9.82E+14" (its last digits are gone),
// a country code above 999 in a single text, a national number above 38
// bits. In two columns a country code up to 1023 is taken: that is what
// the window's file holds for such a record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/tag_record.h"

struct TagId {
    unsigned country = 0;
    uint64_t national = 0;

    bool operator==(const TagId&) const = default;
};

inline constexpr unsigned kMaxCountryCode = 1023;
inline constexpr uint64_t kMaxNationalNumber = (uint64_t{1} << 38) - 1;

enum class IdForm { Split, Eid15, Spaced, Eid16 };

// The names in the order of the enum: "split", "eid15", "spaced", "eid16".
std::vector<std::string> IdFormNames();
std::string_view IdFormName(IdForm form);
// Nothing for a name not among IdFormNames().
std::optional<IdForm> IdFormFromName(std::string_view name);

// The ID's texts in `form`: two for Split (the country code in three
// digits, the national number in twelve), one for every other form.
std::vector<std::string> FormatTagId(const TagId& id, IdForm form);
// How `form` writes the tag 982 000123456789, for a user choosing a form
// by what it looks like: "982 000123456789" for Spaced.
std::string IdFormExample(IdForm form);

// An ID, or why the text is not one.
struct TagIdParse {
    std::optional<TagId> id;
    std::string refusal;
};

// One text in any of the forms; spaces around it are ignored.
TagIdParse ParseTagId(std::string_view text);
// The window's two columns: COUNTRY ID and TID.
TagIdParse ParseTagId(std::string_view country, std::string_view national);

TagId TagIdOf(const DecodedTag& tag);
TagId TagIdOf(const TagRecord& record);
