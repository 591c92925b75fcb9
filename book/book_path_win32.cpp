#include "book/book_path.h"

#include <cstdlib>

namespace {

const wchar_t* const kFolder = L"Kavrin";
const wchar_t* const kFile = L"records.db";

}  // namespace

std::filesystem::path DefaultBookPath() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (!local || !*local) return {};
    return std::filesystem::path(local) / kFolder / kFile;
}
