#include "records/file_choice.h"

#include <commdlg.h>

#include <algorithm>
#include <string>

#include "link/utf.h"

namespace {

// Room for long paths, well past MAX_PATH.
constexpr size_t kPathCapacity = 32768;

std::optional<std::filesystem::path> Choose(HWND owner, const std::filesystem::path& suggested, const char* filter,
                                            bool save) {
    std::wstring filters = WideFromNarrow(filter);
    std::replace(filters.begin(), filters.end(), L'|', L'\0');
    std::wstring path = suggested.native();
    path.resize(kPathCapacity, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    // Owned by the window, so the window takes no clicks while it is open.
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return std::nullopt;
    path.resize(path.find(L'\0'));
    return std::filesystem::path(path);
}

}  // namespace

std::optional<std::filesystem::path> ChooseFileToOpen(HWND owner, const char* filter) {
    return Choose(owner, {}, filter, false);
}

std::optional<std::filesystem::path> ChooseFileToSave(HWND owner, const std::filesystem::path& suggested,
                                                      const char* filter) {
    return Choose(owner, suggested, filter, true);
}
