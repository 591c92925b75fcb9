#include "book/reads_file.h"

#include <system_error>

#include "ops/export_file.h"

std::filesystem::path WriteReadsFile(const std::vector<BookRead>& reads, RowNumbers numbers,
                                     const std::filesystem::path& dir, const LocalTime& time, RecordWriter& writer) {
    ExportFile file;
    if (!file.Claim(dir, time, writer.Extension())) return {};
    bool written = writer.Begin(file);
    int index = 0;
    for (const BookRead& read : reads) {
        ++index;
        if (written) written = writer.Add(numbers == RowNumbers::AsRead ? read.row : index, read.record, read.tag);
    }
    written = writer.Finish() && written && file.Sync();
    written = file.Close() && written;
    if (written) return file.Path();
    std::error_code ignored;
    std::filesystem::remove(file.Path(), ignored);
    return {};
}
