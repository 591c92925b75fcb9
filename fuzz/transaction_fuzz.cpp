// Arbitrary bytes, in arbitrary chunks, as the answer to a request.
#include <cstdlib>

#include "fuzz/scripted_port.h"
#include "link/protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const CommandInfo& command = kCommands[data[0] % kCommands.size()];
    ScriptPort(data + 1, size - 1);

    PortHandle port = nullptr;
    OpenCommPort(port, "fuzz");
    std::vector<uint8_t> request = BuildRequest(command.code, std::vector<uint8_t>(command.requestLength - 5));
    ResponseBuffer response{};
    int result = SendCommand(port, request.data(), request.size(), response);
    ClosePort(port);

    // Success means exactly the announced frame was taken, header first.
    if (result == 0 && (response[0] != kResponseHeader || ScriptedBytesRead() != 3u + response[2])) std::abort();
    return 0;
}
