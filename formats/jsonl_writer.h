// The JSON Lines export: one JSON object per record and line, UTF-8, LF.
//
// Each object holds index, type, country (a number), country_name,
// national_id (the CSV's TID text), eid (15 digits), time (ISO 8601 local
// time with its UTC offset, or null where the CSV's TIME is empty) and raw
// (the record's 16 bytes as 32 hex digits). Every line goes to the file as
// soon as its record arrives.
#pragma once

#include "ops/record_writer.h"

class JsonlWriter final : public RecordWriter {
public:
    std::string_view Extension() const override;
    bool Begin(ExportFile& file) override;
    bool Add(int index, const TagRecord& record, const DecodedTag& tag) override;
    bool Finish() override;

private:
    ExportFile* file_ = nullptr;
};
