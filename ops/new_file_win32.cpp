#include "ops/new_file.h"

#include <system_error>
#include <windows.h>

namespace {

HANDLE Native(NewFileHandle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

NewFileResult CreateNewFile(const std::filesystem::path& path, NewFileHandle& handle) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return NewFileResult::Taken;
        // A folder of that name refuses with "access denied", as a read-only
        // folder does: only a look tells them apart.
        std::error_code ignored;
        return std::filesystem::exists(std::filesystem::symlink_status(path, ignored)) ? NewFileResult::Taken
                                                                                       : NewFileResult::Failed;
    }
    handle = reinterpret_cast<NewFileHandle>(file);
    return NewFileResult::Created;
}

bool WriteToFile(NewFileHandle handle, const char* data, size_t size) {
    while (size > 0) {
        DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(Native(handle), data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// Windows keeps a new file's name with its data: flushing the file is all there is.
bool SyncFile(NewFileHandle handle, const std::filesystem::path&) { return FlushFileBuffers(Native(handle)) != 0; }

bool CloseFile(NewFileHandle handle) { return CloseHandle(Native(handle)) != 0; }
