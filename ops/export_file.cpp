#include "ops/export_file.h"

#include <cstdio>
#include <system_error>

namespace {

const char* const kNameFormat = "%d%02d%02d_%02d%02d";
const char* const kSuffixFormat = "_%d";
const char* const kExtension = ".csv";
const char* const kLineEnd = "\r\n";

bool Taken(const std::filesystem::path& path) {
    std::error_code error;
    // A dangling link counts as taken: writing through it would create its target.
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

}  // namespace

std::filesystem::path FreeExportPath(const std::filesystem::path& dir, const LocalTime& time) {
    char stem[64];
    std::snprintf(stem, sizeof stem, kNameFormat, time.year, time.month, time.day, time.hour, time.minute);
    std::filesystem::path path = dir / (std::string(stem) + kExtension);
    for (int suffix = 2; Taken(path); ++suffix) {
        char tail[16];
        std::snprintf(tail, sizeof tail, kSuffixFormat, suffix);
        path = dir / (std::string(stem) + tail + kExtension);
    }
    return path;
}

std::string CsvRow(int index, const DecodedTag& tag) {
    return std::to_string(index) + ',' + tag.type + ',' + tag.country + ',' + tag.identity + ',' + tag.time;
}

bool WriteCsvLine(std::ofstream& out, std::string_view line) {
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out << kLineEnd;
    out.flush();
    return out.good();
}
