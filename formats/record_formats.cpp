#include "formats/record_formats.h"

#include "formats/jsonl_writer.h"
#include "ops/csv_writer.h"
#include "formats/xlsx_writer.h"

namespace {

const char* const kXlsx = "xlsx";
const char* const kJsonl = "jsonl";

}  // namespace

std::vector<std::string> RecordFormatNames() { return {std::string(kDefaultRecordFormat), kXlsx, kJsonl}; }

std::unique_ptr<RecordWriter> MakeRecordWriter(std::string_view name) {
    if (name == kXlsx) return std::make_unique<XlsxWriter>();
    if (name == kJsonl) return std::make_unique<JsonlWriter>();
    if (name == kDefaultRecordFormat) return std::make_unique<CsvWriter>();
    return nullptr;
}
