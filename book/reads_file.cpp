#include "book/reads_file.h"

#include <set>
#include <system_error>

#include "book/known_animals.h"
#include "ops/export_file.h"
#include "ops/format_text.h"

namespace {

// The private folder's name beside the target, and the further files'.
const char* const kWorkFolderStart = ".";
const char* const kWorkFolderEndFormat = ".saving-%d";
const char* const kPartFormat = "_%zu";
// Far more Save As at once into one folder than anyone makes.
constexpr int kMaxWorkFolders = 1000;
// Any time will do: the names in the private folder are never seen.
constexpr LocalTime kAnyTime = {2000, 1, 1, 0, 0, 0};

// A new folder beside `target`; empty when none could be made.
std::filesystem::path MakeWorkFolder(const std::filesystem::path& target) {
    for (int n = 1; n <= kMaxWorkFolders; ++n) {
        std::filesystem::path name = kWorkFolderStart;
        name += target.filename();
        name += FormatText(kWorkFolderEndFormat, n);
        const std::filesystem::path folder = target.parent_path() / name;
        std::error_code error;
        if (std::filesystem::create_directory(folder, error)) return folder;
        if (error) return {};
    }
    return {};
}

// Where file `index` (from 0) of a Save As goes: `target` itself, then its stem with _2, _3...
std::filesystem::path PartName(const std::filesystem::path& target, size_t index) {
    if (index == 0) return target;
    std::filesystem::path name = target.stem();
    name += FormatText(kPartFormat, index + 1);
    name += target.extension();
    return target.parent_path() / name;
}

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

BookAnswer<std::vector<std::filesystem::path>> SaveReadsAs(Book& book, const std::vector<BookRead>& reads,
                                                           RowNumbers numbers, const ReadsFileChoice& choice,
                                                           const std::filesystem::path& target) {
    const std::filesystem::path folder = MakeWorkFolder(target);
    if (folder.empty()) return {};
    BookAnswer<std::vector<std::filesystem::path>> written = WriteReadsFiles(book, reads, numbers, choice, folder, kAnyTime);
    std::vector<std::filesystem::path> placed;
    std::error_code error;
    for (size_t i = 0; i < written.value.size() && !error; ++i) {
        std::filesystem::rename(written.value[i], PartName(target, i), error);
        if (!error) placed.push_back(PartName(target, i));
    }
    if (error) {
        for (const auto& file : placed) std::filesystem::remove(file, error);
        placed.clear();
    }
    std::filesystem::remove_all(folder, error);
    return {written.status, placed};
}
