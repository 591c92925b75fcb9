#include "ops/new_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Files are made as any program makes them: what the umask allows of 0666.
constexpr mode_t kMode = 0666;

}  // namespace

NewFileResult CreateNewFile(const std::filesystem::path& path, NewFileHandle& handle) {
    int fd;
    do {
        fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kMode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return errno == EEXIST ? NewFileResult::Taken : NewFileResult::Failed;
    handle = fd;
    return NewFileResult::Created;
}

bool WriteToFile(NewFileHandle handle, const char* data, size_t size) {
    while (size > 0) {
        ssize_t written = write(static_cast<int>(handle), data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool SyncFile(NewFileHandle handle, const std::filesystem::path& path) {
    if (fsync(static_cast<int>(handle)) != 0) return false;
    // A new file's name lives in its folder: without this a crash could
    // leave the data on the disk and no name pointing at it.
    std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return false;
    // Some file systems cannot sync a folder and say so (EINVAL, ENOTSUP):
    // there the name is as safe as they make it. An I/O error is a failure.
    bool synced = fsync(dir) == 0 || errno == EINVAL || errno == ENOTSUP;
    close(dir);
    return synced;
}

bool CloseFile(NewFileHandle handle) { return close(static_cast<int>(handle)) == 0; }
