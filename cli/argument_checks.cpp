#include "cli/argument_checks.h"

#include <CLI/CLI.hpp>
#include <system_error>

#include "link/utf8_path.h"

namespace {

const int kMinMinutes = 1;
const int kMaxMinutes = 60;
const size_t kMaxDigits = 9;  // well inside an int
const char* const kBadMinutes = "the power-down time is a whole number of minutes from 1 to 60";
const char* const kNoFile = "no such file";
const char* const kNoFolder = "no such folder";

}  // namespace

std::optional<int> ParseMinutes(const std::string& text) {
    if (text.empty() || text.size() > kMaxDigits || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    int minutes = std::stoi(text);
    if (minutes < kMinMinutes || minutes > kMaxMinutes) return std::nullopt;
    return minutes;
}

std::string CheckMinutes(const std::string& text) { return ParseMinutes(text) ? "" : kBadMinutes; }

std::string CheckFile(const std::string& text) {
    std::error_code error;
    return std::filesystem::is_regular_file(PathFromUtf8(text), error) ? "" : text + ": " + kNoFile;
}

std::string CheckFolder(const std::string& text) {
    std::error_code error;
    return std::filesystem::is_directory(PathFromUtf8(text), error) ? "" : text + ": " + kNoFolder;
}

void RequireYes(bool given, const std::string& refusal) {
    if (!given) throw CLI::ValidationError(refusal, CLI::ExitCodes::ValidationError);
}
