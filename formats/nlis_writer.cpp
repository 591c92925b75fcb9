#include "formats/nlis_writer.h"

#include "formats/tag_id.h"

std::string NlisWriter::Row(int, const TagRecord&, const DecodedTag& tag) const {
    return FormatTagId(tag.id, IdForm::Spaced).front() + ',' + movement_.fromPic + ',' + movement_.toPic +
           ',' + movement_.nvd + ',' + DayMonthYear(movement_.date);
}
