// The window's CSV file with the ID and the time of reading in the forms
// asked for: INDEX, TYPE, the ID's columns, TIME. With the default forms
// it is the window's file, byte for byte.
#pragma once

#include "formats/record_columns.h"
#include "ops/csv_writer.h"

class CsvFormsWriter final : public CsvWriter {
public:
    explicit CsvFormsWriter(const ExportForms& forms) : forms_(forms) {}

protected:
    std::string Header() const override;
    std::string Row(int index, const TagRecord& record, const DecodedTag& tag) const override;

private:
    ExportForms forms_;
};
