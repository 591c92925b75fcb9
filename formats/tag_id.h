// The forms a tag's ID (ops/tag_record.h: the country code and the national
// number) is written in for registries, spreadsheets and people, and the
// one parser that reads an ID from any text a user or a registry gives.
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
// The parser takes every form above, a dash in place of the space, and
// the two columns of the window's file; and the forms registries print:
//   0982 000190869343          the four-digit country with the space
//   00000 0 982 000196588496   fields before the country code, all zeros
//   UK0713393 00045            a UK sheep or goat tag: UK, the 7-digit
//                              flock number, the 5-digit animal number
//                              (826 071339300045); "UK 0 713393 00045" too
//   826 0713393 00045          the same, as a reader shows it
// It refuses, saying why, anything else: a number a spreadsheet turned
// into "9.82E+14" (its last digits are gone), fields before the country
// that are not zeros, the UK's grouping with another country code, a
// country code above 999 in a single text, a national number above 38
// bits. In two columns a country code up to 1023 is taken: that is what
// the window's file holds for such a record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/tag_record.h"

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
