// The JSON Lines export: one JSON object per record and line, UTF-8, LF.
//
// Each object holds index, type, country (a number), country_name,
// national_id (the CSV's TID text), eid (the ID in the form asked for; 15
// digits for the split form, whose parts are already there), time (in the
// date form asked for; for the default, ISO 8601 local time with its UTC
// offset; null where the CSV's TIME is empty) and raw (the record's 16
// bytes as 32 hex digits). Every line goes to the file as soon as its
// record arrives.
#pragma once

#include "formats/record_columns.h"
#include "ops/record_writer.h"

class JsonlWriter final : public RecordWriter {
public:
    explicit JsonlWriter(const ExportForms& forms) : forms_(forms) {}

    std::string_view Extension() const override;
    bool Begin(ExportFile& file) override;
    bool Add(int index, const TagRecord& record, const DecodedTag& tag) override;
    bool Finish() override;

private:
    ExportForms forms_;
    ExportFile* file_ = nullptr;
};
