#include "ops/transaction.h"

#include <vector>

#include "link/protocol.h"

namespace {

constexpr size_t kLengthByte = 2;
constexpr size_t kStatusByte = 3;

}  // namespace

bool Transact(PortHandle port, uint8_t command, std::span<const uint8_t> data, ResponseBuffer& response) {
    size_t received = 0;
    return Transact(port, command, data, response, received);
}

bool Transact(PortHandle port, uint8_t command, std::span<const uint8_t> data, ResponseBuffer& response,
              size_t& received) {
    std::vector<uint8_t> request = BuildRequest(command, data);
    return SendCommand(port, request.data(), request.size(), response, received) == 0;
}

bool Carries(const ResponseBuffer& response, size_t index) { return index < 3 + size_t{response[kLengthByte]}; }

OpResult StatusOf(const ResponseBuffer& response) {
    if (!Carries(response, kStatusByte) || response[kStatusByte] == 0) return {};
    return {Outcome::Refused, response[kStatusByte]};
}

OpResult Accepted(PortHandle port, uint8_t command, std::span<const uint8_t> data) {
    ResponseBuffer response{};
    if (!Transact(port, command, data, response) || !Carries(response, kStatusByte)) return {Outcome::TransactionFailed};
    return StatusOf(response);
}
