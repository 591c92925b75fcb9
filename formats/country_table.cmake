# Turns iso-codes' ISO 3166-1 list into a C++ table of numeric code and
# English short name, sorted by code, so no program needs the package at
# run time. Run as: cmake -DJSON=iso_3166-1.json -DOUT=country_table.cpp -P
file(READ "${JSON}" json)
string(JSON count LENGTH "${json}" 3166-1)
math(EXPR last "${count} - 1")
set(entries "")
foreach(i RANGE ${last})
  string(JSON numeric GET "${json}" 3166-1 ${i} numeric)
  string(JSON name GET "${json}" 3166-1 ${i} name)
  string(REPLACE "\\" "\\\\" name "${name}")
  string(REPLACE "\"" "\\\"" name "${name}")
  list(APPEND entries "${numeric}|${name}")
endforeach()
list(SORT entries)

set(rows "")
foreach(entry IN LISTS entries)
  string(FIND "${entry}" "|" bar)
  string(SUBSTRING "${entry}" 0 ${bar} numeric)
  math(EXPR start "${bar} + 1")
  string(SUBSTRING "${entry}" ${start} -1 name)
  math(EXPR code "1${numeric} - 1000")
  string(APPEND rows "    {${code}, \"${name}\"},\n")
endforeach()

file(WRITE "${OUT}.new" "// Generated at build time from iso-codes' iso_3166-1.json.
#include \"formats/country_table.h\"

namespace {

const CountryEntry kEntries[] = {
${rows}};

}  // namespace

std::span<const CountryEntry> CountryTable() { return kEntries; }
")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
