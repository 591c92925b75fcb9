// The file an export writes.
//
// Its name is the local date and time to the minute (20210919_0544.csv). An
// earlier file is never overwritten, and two programs exporting in the same
// minute into one folder never share a file: the name is claimed by
// creating the file exclusively, and when it is taken the next of
// 20210919_0544_2.csv, _3 and so on is tried. Bytes go to the operating
// system as they are written, with no buffer of ours in between, so what was
// written is in the file whatever happens to the export afterwards. Every
// byte written is counted and digested, so the file read back from the disk
// can be checked against what was meant to be in it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "ops/clock.h"
#include "ops/new_file.h"

// The length and a 64-bit FNV-1a hash of a file's bytes: enough to see that
// what is on the disk is what was written, which is all it is for.
struct FileDigest {
    uint64_t size = 0;
    uint64_t hash = 0xcbf29ce484222325ull;

    void Add(std::string_view bytes);
    bool operator==(const FileDigest&) const = default;
};

// The digest of the file as the disk holds it now; nothing when it cannot be read.
std::optional<FileDigest> DigestOfFile(const std::filesystem::path& path);

class ExportFile {
public:
    ExportFile() = default;
    ~ExportFile() { Close(); }
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    // Creates the file for an export started at `time` in `dir`, under the
    // first free name with `extension` (".csv"). False when none could be
    // created: the folder is missing, read-only or refuses us.
    bool Claim(const std::filesystem::path& dir, const LocalTime& time, std::string_view extension);
    // All of `bytes`, or false.
    bool Write(std::string_view bytes);
    // The data and the file's name on the disk.
    bool Sync();
    bool Close();

    const std::filesystem::path& Path() const { return path_; }
    const FileDigest& Written() const { return written_; }

private:
    NewFileHandle handle_ = kNoFile;
    std::filesystem::path path_;
    FileDigest written_;
};
