#include "formats/csv_forms_writer.h"

namespace {

const char* const kLeadingHeadings = "INDEX,TYPE";
const char* const kTimeHeading = "TIME";

std::string Joined(std::string head, const std::vector<std::string>& fields, const std::string& tail) {
    for (const std::string& field : fields) (head += ',') += field;
    return (head += ',') += tail;
}

}  // namespace

std::string CsvFormsWriter::Header() const {
    return Joined(kLeadingHeadings, IdHeadings(forms_.id), kTimeHeading);
}

std::string CsvFormsWriter::Row(int index, const TagRecord& record, const DecodedTag& tag) const {
    return Joined(std::to_string(index) + ',' + tag.type, IdColumns(tag, forms_.id),
                  ReadingTime(record, tag, forms_.date));
}
