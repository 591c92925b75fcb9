#include "doctor/adapter_latency.h"

#include "ops/format_text.h"

namespace {

const char* const kLatency = "%s: latency timer %d ms";
const char* const kLatencySlow = "%s: latency timer %d ms, which every answer of the reader waits out";
// What the port asks for when it opens.
constexpr int kLowLatencyMs = 1;

}  // namespace

Finding LatencyFinding(const std::string& port, int ms) {
    if (ms <= kLowLatencyMs) return {FormatText(kLatency, port.c_str(), ms), {}};
    return {FormatText(kLatencySlow, port.c_str(), ms), LowerLatencyHint(port)};
}
