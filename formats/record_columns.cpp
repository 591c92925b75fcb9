#include "formats/record_columns.h"

#include "ops/csv_writer.h"

namespace {

const char* const kCountryHeading = "COUNTRY ID";
const char* const kNationalHeading = "TID";
const char* const kEidHeading = "EID";

}  // namespace

std::vector<std::string> IdHeadings(IdForm form) {
    if (form == IdForm::Split) return {kCountryHeading, kNationalHeading};
    return {kEidHeading};
}

std::vector<std::string> IdColumns(const DecodedTag& tag, IdForm form) {
    if (form == IdForm::Split) return {CountryText(tag.id.country), NationalText(tag)};
    return FormatTagId(tag.id, form);
}

std::vector<std::string> ExtraCells(const ExtraColumns& extra, const DecodedTag& tag) {
    std::optional<std::vector<std::string>> cells = extra.Cells(tag);
    return cells ? *cells : std::vector<std::string>(extra.Columns().size());
}
