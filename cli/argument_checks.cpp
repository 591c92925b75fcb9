#include "cli/argument_checks.h"

#include <CLI/CLI.hpp>
#include <system_error>

#include "link/utf8_path.h"
#include "ops/integer_field.h"

namespace {

const char* const kBadMinutes = "the power-down time is a whole number of minutes from 1 to 60";
const char* const kNoFile = "no such file";
const char* const kNoFolder = "no such folder";

}  // namespace

std::optional<int> ParseMinutes(const std::string& text) {
    // The window's field takes spaces and a sign; an argument is digits alone.
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    std::optional<int> minutes = ParseIntegerField(text);
    if (!minutes || !PowerDownInRange(*minutes)) return std::nullopt;
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
