#include "formats/record_formats.h"

#include "formats/csv_forms_writer.h"
#include "formats/jsonl_writer.h"
#include "formats/nlis_pic_writer.h"
#include "formats/xlsx_writer.h"

namespace {

const char* const kXlsx = "xlsx";
const char* const kJsonl = "jsonl";

}  // namespace

std::vector<std::string> RecordFormatNames() { return {std::string(kDefaultRecordFormat), kXlsx, kJsonl}; }

std::vector<std::string> RegistryFormatNames() {
    return {std::string(kNaitFormat), std::string(kNlisFormat), std::string(kNlisPicFormat)};
}

bool IsRegistryFormat(std::string_view name) {
    return name == kNaitFormat || name == kNlisFormat || name == kNlisPicFormat;
}

std::unique_ptr<RecordWriter> MakeRecordWriter(std::string_view name, const ExportProfile& profile) {
    if (name == kXlsx) return std::make_unique<XlsxWriter>(profile.forms);
    if (name == kJsonl) return std::make_unique<JsonlWriter>(profile.forms);
    if (name == kDefaultRecordFormat) return std::make_unique<CsvFormsWriter>(profile.forms);
    if (name == kNaitFormat) return std::make_unique<NaitWriter>(profile.nait, profile.visualTag);
    if (name == kNlisFormat) return std::make_unique<NlisWriter>(profile.nlis);
    if (name == kNlisPicFormat) return std::make_unique<NlisPicWriter>(profile.pic);
    return nullptr;
}
