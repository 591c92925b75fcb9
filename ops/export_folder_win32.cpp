#include "ops/export_folder.h"

#include <vector>
#include <windows.h>
// shlobj.h after windows.h: it needs its types.
#include <shlobj.h>

namespace {

// Whether this process may add a file to `folder`; false where the
// folder's security cannot even be read.
bool MayAddFile(const std::filesystem::path& folder) {
    const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION |
                                        DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    GetFileSecurityW(folder.c_str(), wanted, nullptr, 0, &size);
    if (size == 0) return false;
    std::vector<BYTE> descriptor(size);
    if (!GetFileSecurityW(folder.c_str(), wanted, descriptor.data(), size, &size)) return false;

    HANDLE process = nullptr;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &process)) return false;
    const bool duplicated = DuplicateToken(process, SecurityImpersonation, &token);
    CloseHandle(process);
    if (!duplicated) return false;

    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    DWORD access = FILE_ADD_FILE;
    MapGenericMask(&access, &mapping);
    PRIVILEGE_SET privileges{};
    DWORD privilegesSize = sizeof privileges;
    DWORD granted = 0;
    BOOL allowed = FALSE;
    const bool checked = AccessCheck(descriptor.data(), token, access, &mapping, &privileges, &privilegesSize,
                                     &granted, &allowed);
    CloseHandle(token);
    return checked && allowed;
}

}  // namespace

std::filesystem::path DocumentsFolder() {
    wchar_t* path = nullptr;
    std::filesystem::path folder;
    if (SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &path) == S_OK) folder = path;
    CoTaskMemFree(path);
    return folder;
}

std::filesystem::path ExportFolder(const std::filesystem::path& working) {
    if (MayAddFile(working)) return working;
    std::filesystem::path documents = DocumentsFolder();
    return documents.empty() ? working : documents;
}
