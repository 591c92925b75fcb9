#include "formats/library_file_name.h"

std::string LibraryFileName(const std::filesystem::path& folder, std::string_view name) {
    return (folder / name).string();
}
