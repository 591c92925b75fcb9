// The forms an export writes a record in, and the columns they give.
//
// The ID takes the window's two columns (COUNTRY ID, TID, as the reader
// gave them: ten digits for HDX, twelve for FDX-B) in the split form, and
// one column, EID, in every other form. The time of reading takes the
// date form (see date_form.h). The defaults give the window's columns.
#pragma once

#include <string>
#include <vector>

#include "formats/date_form.h"
#include "formats/tag_id.h"

struct ExportForms {
    IdForm id = IdForm::Split;
    DateForm date = DateForm::Iso;
};

std::vector<std::string> IdHeadings(IdForm form);
std::vector<std::string> IdColumns(const DecodedTag& tag, IdForm form);
