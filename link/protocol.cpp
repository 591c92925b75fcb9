#include "link/protocol.h"

int SendCommand(PortHandle handle, uint8_t* request, size_t n, ResponseBuffer& response) {
    size_t received = 0;
    return SendCommand(handle, request, n, response, received);
}

int SendCommand(PortHandle handle, uint8_t* request, size_t n, ResponseBuffer& response, size_t& received) {
    received = 0;
    request[n - 1] = FrameChecksum(request, n - 1);

    PurgePort(handle, PurgeQueue::Transmit);
    PurgePort(handle, PurgeQueue::Receive);

    size_t written = 0;
    if (!WritePort(handle, request, n, written) || written != n) return 1;

    size_t got = 0;
    bool read = ReadPort(handle, response.data(), 3, got);
    received = got;
    if (!read || got != 3 || response[0] != kResponseHeader) return 1;

    const size_t length = response[2];
    read = ReadPort(handle, response.data() + 3, length, got);
    received += got;
    if (!read) return 1;
    // Whatever the reader sent beyond the announced length belongs to no one.
    PurgePort(handle, PurgeQueue::Receive);
    return got == length ? 0 : 1;
}
