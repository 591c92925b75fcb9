#include "book/reads_file.h"

#include <system_error>

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

}  // namespace

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

std::vector<std::filesystem::path> SaveReadsAs(const std::vector<BookRead>& reads, RowNumbers numbers,
                                               const std::filesystem::path& target, RecordWriter& writer) {
    const std::filesystem::path folder = MakeWorkFolder(target);
    if (folder.empty()) return {};
    std::vector<std::filesystem::path> written;
    if (std::filesystem::path first = WriteReadsFile(reads, numbers, folder, kAnyTime, writer); !first.empty()) {
        written.push_back(first);
        for (const auto& further : writer.FurtherFiles()) written.push_back(further);
    }
    std::vector<std::filesystem::path> placed;
    std::error_code error;
    for (size_t i = 0; i < written.size() && !error; ++i) {
        std::filesystem::rename(written[i], PartName(target, i), error);
        if (!error) placed.push_back(PartName(target, i));
    }
    if (error || written.empty()) {
        for (const auto& file : placed) std::filesystem::remove(file, error);
        placed.clear();
    }
    std::filesystem::remove_all(folder, error);
    return placed;
}
