#include "book/book_record_writer.h"

#include "link/utf8_path.h"
#include "ops/export_file.h"

// A file that could not be started is no download: the export removes it.
bool BookRecordWriter::Begin(ExportFile& file) {
    const bool written = file_.Begin(file);
    if (!written) return false;
    start_.file = Utf8FromPath(std::filesystem::absolute(file.Path()));
    status_ = recording_.Begin(start_);
    begun_ = status_.Ok();
    return true;
}

bool BookRecordWriter::Add(int index, const TagRecord& record, const DecodedTag& tag) {
    if (!file_.Add(index, record, tag)) return false;
    if (status_.Ok()) status_ = recording_.Add(index, record, tag);
    return true;
}

void BookRecordWriter::EndBlock() {
    if (status_.Ok()) status_ = recording_.Commit();
}

bool BookRecordWriter::Finish() {
    const bool written = file_.Finish();
    if (status_.Ok()) status_ = recording_.Sync();
    return written;
}
