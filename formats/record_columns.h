// The forms an export writes a record in, and the columns they give.
//
// The ID takes the window's two columns (COUNTRY ID, TID, as the reader
// gave them: ten digits for HDX, twelve for FDX-B) in the split form, and
// one column, EID, in every other form. The time of reading takes the
// date form (see date_form.h). The defaults give the window's columns.
//
// A caller may add columns of its own after a format's (ExtraColumns: the
// record book adds the user's animal). Every format writes them the same
// way: in the CSV as the user's text that a spreadsheet never evaluates
// (csv_cell.h), in the workbook as text cells, in JSON Lines as strings
// under their keys, null where a record has none.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "formats/date_form.h"
#include "formats/tag_id.h"

struct ExtraColumn {
    std::string heading;  // in the CSV and the workbook
    std::string key;      // in JSON Lines
};

class ExtraColumns {
public:
    virtual ~ExtraColumns() = default;
    virtual const std::vector<ExtraColumn>& Columns() const = 0;
    // One text per column for the record's tag; none when the record has none.
    virtual std::optional<std::vector<std::string>> Cells(const DecodedTag& tag) const = 0;
};

struct ExportForms {
    IdForm id = IdForm::Split;
    DateForm date = DateForm::Iso;
    const ExtraColumns* extra = nullptr;  // outlives the writer; none: the format's columns alone
};

// The extra columns' cells for `tag`, each empty where the record has none.
std::vector<std::string> ExtraCells(const ExtraColumns& extra, const DecodedTag& tag);

std::vector<std::string> IdHeadings(IdForm form);
std::vector<std::string> IdColumns(const DecodedTag& tag, IdForm form);
