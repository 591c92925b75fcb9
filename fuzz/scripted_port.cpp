#include "fuzz/scripted_port.h"

#include <algorithm>
#include <cstring>

#include "link/serial_port.h"

namespace {

const uint8_t* g_data = nullptr;
size_t g_size = 0;
size_t g_chunkLeft = 0;
size_t g_read = 0;
int g_port = 0;

}  // namespace

void ScriptPort(const uint8_t* data, size_t size) {
    g_data = data;
    g_size = size;
    g_chunkLeft = 0;
    g_read = 0;
}

size_t ScriptedBytesRead() { return g_read; }

OpenStatus OpenPort(PortHandle& handle, const std::string&) {
    if (handle != nullptr) return {OpenFailure::AlreadyOpen, {}};
    handle = &g_port;
    return {};
}

void ClosePort(PortHandle& handle) { handle = nullptr; }

void PurgePort(PortHandle, PurgeQueue) {}

bool WritePort(PortHandle handle, const uint8_t*, size_t size, size_t& transferred) {
    transferred = handle ? size : 0;
    return handle != nullptr;
}

bool ReadPort(PortHandle handle, uint8_t* data, size_t size, size_t& transferred) {
    transferred = 0;
    if (handle == nullptr) return false;
    if (g_chunkLeft == 0 && g_size > 0) {
        g_chunkLeft = std::min<size_t>(g_data[0], g_size - 1);
        ++g_data;
        --g_size;
    }
    transferred = std::min(size, g_chunkLeft);
    std::memcpy(data, g_data, transferred);
    g_data += transferred;
    g_size -= transferred;
    g_chunkLeft -= transferred;
    g_read += transferred;
    return true;
}


bool ReadLineSettings(PortHandle, LineSettings&) { return false; }
