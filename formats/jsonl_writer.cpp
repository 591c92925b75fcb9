#include "formats/jsonl_writer.h"

#include <nlohmann/json.hpp>

#include "formats/country_name.h"
#include "formats/iso_time.h"
#include "ops/csv_writer.h"
#include "ops/export_file.h"

namespace {

const char* const kExtension = ".jsonl";
const char* const kHexDigits = "0123456789ABCDEF";

std::string Hex(const TagRecord& record) {
    std::string text;
    for (uint8_t byte : record) {
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0x0F];
    }
    return text;
}

}  // namespace

std::string_view JsonlWriter::Extension() const { return kExtension; }

bool JsonlWriter::Begin(ExportFile& file) {
    file_ = &file;
    return true;
}

bool JsonlWriter::Add(int index, const TagRecord& record, const DecodedTag& tag) {
    const TagId& id = tag.id;
    std::optional<std::string> time = IsoLocalTime(tag.seconds);
    if (time && forms_.date != DateForm::Iso) time = ReadingTime(tag, forms_.date);
    const IdForm idForm = forms_.id == IdForm::Split ? IdForm::Eid15 : forms_.id;
    // Ordered: the keys keep the order a reader of the file expects.
    nlohmann::ordered_json line = {
        {"index", index},
        {"type", TypeText(tag.type)},
        {"country", id.country},
        {"country_name", CountryName(id.country)},
        {"national_id", NationalText(tag)},
        {"eid", FormatTagId(id, idForm).front()},
        {"time", time ? nlohmann::ordered_json(*time) : nlohmann::ordered_json(nullptr)},
        {"raw", Hex(record)},
    };
    if (forms_.extra) {
        const std::optional<std::vector<std::string>> cells = forms_.extra->Cells(tag);
        const std::vector<ExtraColumn>& columns = forms_.extra->Columns();
        for (size_t i = 0; i < columns.size(); ++i)
            line[columns[i].key] = cells ? nlohmann::ordered_json((*cells)[i]) : nlohmann::ordered_json(nullptr);
    }
    return file_->Write(line.dump() + '\n');
}

bool JsonlWriter::Finish() { return true; }
