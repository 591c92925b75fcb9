#include "ops/transaction.h"

#include <vector>

#include "link/protocol.h"

namespace {

constexpr size_t kLengthByte = 2;
constexpr size_t kStatusByte = 3;

}  // namespace

bool Answer::Carries(size_t index) const { return index < 3 + size_t{bytes[kLengthByte]}; }

OpResult Answer::Status() const {
    if (!Carries(kStatusByte) || bytes[kStatusByte] == 0) return {};
    return {Outcome::Refused, bytes[kStatusByte]};
}

Answer Transact(PortHandle port, uint8_t command, std::span<const uint8_t> data) {
    std::vector<uint8_t> request = BuildRequest(command, data);
    Answer answer;
    answer.complete = SendCommand(port, request.data(), request.size(), answer.bytes, answer.received) == 0;
    return answer;
}

OpResult Accepted(PortHandle port, uint8_t command, std::span<const uint8_t> data) {
    const Answer answer = Transact(port, command, data);
    if (!answer.complete || !answer.Carries(kStatusByte)) return {Outcome::TransactionFailed};
    return answer.Status();
}
