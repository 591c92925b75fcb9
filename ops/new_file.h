// A file created for writing only when nothing has its name yet, and the
// few things an export does with it: write every byte, push it to the disk,
// close. One implementation per platform; the handle is a plain integer
// (a descriptor, or a HANDLE's value) and -1 means none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

using NewFileHandle = std::intptr_t;
inline constexpr NewFileHandle kNoFile = -1;

enum class NewFileResult {
    Created,
    Taken,   // something (a file, a folder, a link) already has the name
    Failed,  // the folder is missing, read-only or refuses us
};

// O_CREAT|O_EXCL on POSIX, CREATE_NEW on Windows: one atomic step, so two
// programs choosing the same free name cannot both get it.
NewFileResult CreateNewFile(const std::filesystem::path& path, NewFileHandle& handle);
// All `size` bytes, or false.
bool WriteToFile(NewFileHandle handle, const char* data, size_t size);
// The file's data on the disk, and its folder's entry of it where the
// platform and the file system let a folder be synced.
bool SyncFile(NewFileHandle handle, const std::filesystem::path& path);
bool CloseFile(NewFileHandle handle);
