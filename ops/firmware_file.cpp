#include "ops/firmware_file.h"

#include <filesystem>
#include <system_error>

#include "link/utf8_path.h"

bool FirmwareFile::Open(const std::string& path) {
    Close();
    const std::filesystem::path native = PathFromUtf8(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(native, error)) return false;
    stream_.open(native, std::ios::in | std::ios::binary);
    return stream_.is_open();
}

void FirmwareFile::Close() {
    if (stream_.is_open()) stream_.close();
    stream_.clear();
}

bool FirmwareFile::IsOpen() const { return stream_.is_open(); }

std::optional<uint64_t> FirmwareFile::Length() {
    if (!stream_.is_open()) return std::nullopt;
    stream_.clear();
    const std::streamoff end = stream_.seekg(0, std::ios::end).tellg();
    if (end < 0) return std::nullopt;
    return static_cast<uint64_t>(end);
}

size_t FirmwareFile::ReadAt(uint64_t offset, uint8_t* data, size_t size) {
    if (!stream_.is_open()) return 0;
    stream_.clear();
    if (!stream_.seekg(static_cast<std::streamoff>(offset))) return 0;
    stream_.read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(size));
    return static_cast<size_t>(stream_.gcount());
}
