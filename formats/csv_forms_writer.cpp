#include "formats/csv_forms_writer.h"

#include "formats/csv_cell.h"

namespace {

const char* const kLeadingHeadings = "INDEX,TYPE";
const char* const kTimeHeading = "TIME";

std::string Joined(std::string head, const std::vector<std::string>& fields, const std::string& tail) {
    for (const std::string& field : fields) (head += ',') += field;
    return (head += ',') += tail;
}

}  // namespace

std::string CsvFormsWriter::Header() const {
    std::string header = Joined(kLeadingHeadings, IdHeadings(forms_.id), kTimeHeading);
    if (forms_.extra)
        for (const ExtraColumn& column : forms_.extra->Columns()) (header += ',') += CsvCell(column.heading);
    return header;
}

std::string CsvFormsWriter::Row(int index, const TagRecord&, const DecodedTag& tag) const {
    std::string row = Joined(std::to_string(index) + ',' + TypeText(tag.type), IdColumns(tag, forms_.id),
                             ReadingTime(tag, forms_.date));
    if (forms_.extra)
        for (const std::string& cell : ExtraCells(*forms_.extra, tag)) (row += ',') += CsvCell(cell);
    return row;
}
