#include "book/reads_file.h"

#include <set>
#include <system_error>

#include "book/known_animals.h"
#include "ops/export_file.h"

namespace {

std::vector<const BookRead*> Chosen(const std::vector<BookRead>& reads, bool eachTagOnce) {
    std::vector<const BookRead*> chosen;
    std::set<TagId> tags;
    for (const BookRead& read : reads) {
        if (!eachTagOnce || tags.insert(read.tag.id).second) chosen.push_back(&read);
    }
    return chosen;
}

std::vector<std::filesystem::path> Write(const std::vector<const BookRead*>& reads, RowNumbers numbers,
                                         const std::filesystem::path& dir, const LocalTime& time, RecordWriter& writer) {
    ExportFile file;
    if (!file.Claim(dir, time, writer.NameEnding(static_cast<int32_t>(reads.size())))) return {};
    bool written = writer.Begin(file);
    int index = 0;
    for (const BookRead* read : reads) {
        ++index;
        if (written) written = writer.Add(numbers == RowNumbers::AsRead ? read->row : index, read->record, read->tag);
    }
    written = writer.Finish() && written && file.Sync();
    written = file.Close() && written;
    std::vector<std::filesystem::path> files = {file.Path()};
    for (const std::filesystem::path& further : writer.FurtherFiles()) files.push_back(further);
    if (written) return files;
    for (const std::filesystem::path& path : files) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    return {};
}

}  // namespace

BookAnswer<std::vector<std::filesystem::path>> WriteReadsFiles(Book& book, const std::vector<BookRead>& reads,
                                                               RowNumbers numbers, const ReadsFileChoice& choice,
                                                               const std::filesystem::path& dir, const LocalTime& time) {
    ExportProfile profile = choice.profile;
    KnownAnimals known;
    if (choice.animals || choice.format == kNaitFormat) {
        if (const BookStatus loaded = known.Load(book); !loaded.Ok()) return {loaded, {}};
        if (choice.animals) profile.forms.extra = &known;
        profile.visualTag = [&known](const TagId& id) { return known.VisualTag(id); };
    }
    const std::unique_ptr<RecordWriter> writer = MakeRecordWriter(choice.format, profile);
    if (!writer) return {};
    return {{}, Write(Chosen(reads, IsRegistryFormat(choice.format)), numbers, dir, time, *writer)};
}
