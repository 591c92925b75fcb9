#include "link/protocol.h"

int SendCommand(PortHandle handle, uint8_t* request, size_t n, ResponseBuffer& response) {
    request[n - 1] = FrameChecksum(request, n - 1);

    PurgePort(handle, PurgeQueue::Transmit);
    PurgePort(handle, PurgeQueue::Receive);

    size_t written = 0;
    if (!WritePort(handle, request, n, written) || written != n) return 1;

    size_t got = 0;
    if (!ReadPort(handle, response.data(), 3, got) || got != 3 || response[0] != kResponseHeader) return 1;

    const size_t length = response[2];
    if (!ReadPort(handle, response.data() + 3, length, got)) return 1;
    // Whatever the reader sent beyond the announced length belongs to no one.
    PurgePort(handle, PurgeQueue::Receive);
    return got == length ? 0 : 1;
}
