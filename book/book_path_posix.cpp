#include "book/book_path.h"

#include <cstdlib>

namespace {

const char* const kFolder = "kavrin";
const char* const kFile = "records.db";

std::filesystem::path DataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && std::filesystem::path(xdg).is_absolute()) return xdg;
    const char* home = std::getenv("HOME");
    if (home && *home) return std::filesystem::path(home) / ".local" / "share";
    return {};
}

}  // namespace

std::filesystem::path DefaultBookPath() {
    const std::filesystem::path home = DataHome();
    return home.empty() ? home : home / kFolder / kFile;
}
