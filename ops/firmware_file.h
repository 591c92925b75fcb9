// The firmware image opened by "Browse", held open until it is closed.
//
// Paths are UTF-8 and may hold any Unicode characters, on Windows too (the
// standard library opens them through their UTF-16 form there). Only a
// regular file opens. The length is asked of the open file each time, so it
// is the length the file has now. Each read names its offset, so a block is
// read where it lies whatever happened before; a read at or past the end
// simply gives fewer bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>

class FirmwareFile {
public:
    // Opens `path` read-only. False when it is not a regular file that opens.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const;
    // The open file's length in bytes; nothing when no file is open or the
    // system cannot tell.
    std::optional<uint64_t> Length();
    // Up to `size` bytes from `offset` into `data`; gives the count read.
    size_t ReadAt(uint64_t offset, uint8_t* data, size_t size);

private:
    std::ifstream stream_;
};
