#include "formats/nlis_pic_writer.h"

#include "formats/registry_checks.h"
#include "formats/tag_id.h"

bool NlisPicWriter::Begin(ExportFile& file) { return !PicRefusal(pic_) && CsvWriter::Begin(file); }

// A tag written already counts as written: the record is in the file.
bool NlisPicWriter::Add(int index, const TagRecord& record, const DecodedTag& tag) {
    if (written_.contains(tag.id)) return true;
    if (!CsvWriter::Add(index, record, tag)) return false;
    written_.insert(tag.id);
    return true;
}

std::string NlisPicWriter::Row(int, const TagRecord&, const DecodedTag& tag) const {
    return pic_ + ',' + FormatTagId(tag.id, IdForm::Spaced).front();
}
