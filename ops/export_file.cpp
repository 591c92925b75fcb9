#include "ops/export_file.h"

#include <fstream>
#include <string>

#include "ops/format_text.h"

namespace {

const char* const kNameFormat = "%d%02d%02d_%02d%02d";
const char* const kSuffixFormat = "_%d";
// Far more exports than a minute can hold; past it something else is wrong.
constexpr int kMaxSuffix = 10000;
constexpr uint64_t kFnvPrime = 0x100000001b3ull;
constexpr size_t kReadChunk = 64 * 1024;

}  // namespace

void FileDigest::Add(std::string_view bytes) {
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kFnvPrime;
    }
    size += bytes.size();
}

std::optional<FileDigest> DigestOfFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    FileDigest digest;
    std::string chunk(kReadChunk, '\0');
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0)
        digest.Add(std::string_view(chunk.data(), static_cast<size_t>(in.gcount())));
    if (in.bad()) return std::nullopt;
    return digest;
}

bool ExportFile::Claim(const std::filesystem::path& dir, const LocalTime& time, std::string_view extension) {
    const std::string stem = FormatText(kNameFormat, time.year, time.month, time.day, time.hour, time.minute);
    for (int suffix = 1; suffix <= kMaxSuffix; ++suffix) {
        std::string name = stem;
        if (suffix > 1) name += FormatText(kSuffixFormat, suffix);
        name += extension;
        const std::filesystem::path path = dir / name;
        switch (CreateNewFile(path, handle_)) {
        case NewFileResult::Created: path_ = path; return true;
        case NewFileResult::Taken: continue;
        case NewFileResult::Failed: return false;
        }
    }
    return false;
}

bool ExportFile::Write(std::string_view bytes) {
    if (handle_ == kNoFile || !WriteToFile(handle_, bytes.data(), bytes.size())) return false;
    written_.Add(bytes);
    return true;
}

bool ExportFile::Sync() { return handle_ != kNoFile && SyncFile(handle_, path_); }

bool ExportFile::Close() {
    if (handle_ == kNoFile) return true;
    bool closed = CloseFile(handle_);
    handle_ = kNoFile;
    return closed;
}
