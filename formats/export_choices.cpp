#include "formats/export_choices.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "ops/format_text.h"

namespace {

const std::array<OfferedFormat, 5> kFormats = {{
    {kDefaultRecordFormat, "CSV, as Kavrin writes it"},
    {"xlsx", "Excel workbook"},
    {"jsonl", "JSON lines"},
    {kNaitFormat, "NAIT movement file (New Zealand)"},
    {kNlisFormat, "NLIS movement file (Australia)"},
}};
constexpr IdForm kIdForms[] = {IdForm::Split, IdForm::Eid15, IdForm::Spaced, IdForm::Eid16};
constexpr DateForm kDateForms[] = {DateForm::Iso, DateForm::Dmy, DateForm::Date};

// In the order of ExportField.
const char* const kFieldLabels[] = {
    "ID form", "Date form",
    "Sending NAIT number", "Receiving NAIT number", "Date sent", "Date received",
    "From PIC", "To PIC", "NVD or waybill number", "Date of movement",
    "PIC",
    "Delete All after the export",
};
static_assert(std::size(kFieldLabels) == static_cast<size_t>(ExportField::Clear) + 1);

const char* const kRefusedFormat = "%s: %s";
const char* const kNeededFormat = "%s is needed for a %s.";
const char* const kNotTakenFormat = "%s is not taken by a %s.";

}  // namespace

std::span<const OfferedFormat> OfferedFormats() { return kFormats; }
std::span<const IdForm> OfferedIdForms() { return kIdForms; }
std::span<const DateForm> OfferedDateForms() { return kDateForms; }

const char* ExportFieldLabel(ExportField field) { return kFieldLabels[static_cast<size_t>(field)]; }

std::string RefusalSentence(const ExportRefusal& refusal, std::string_view format) {
    const auto offered = std::find_if(kFormats.begin(), kFormats.end(),
                                      [format](const OfferedFormat& f) { return f.name == format; });
    const std::string shown = offered != kFormats.end() ? offered->shown : std::string(format);
    const char* label = ExportFieldLabel(refusal.field);
    switch (refusal.why) {
    case ExportRefusal::Why::NotTaken: return FormatText(kNotTakenFormat, label, shown.c_str());
    case ExportRefusal::Why::Needed: return FormatText(kNeededFormat, label, shown.c_str());
    case ExportRefusal::Why::Value: break;
    }
    return FormatText(kRefusedFormat, label, refusal.text.c_str());
}
