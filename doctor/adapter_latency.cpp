#include "doctor/adapter_latency.h"

#include "ops/format_text.h"

namespace {

const char* const kField = "latency timer %d ms";
const char* const kSlow = ", which every answer of the reader waits out";
const char* const kTimerLine = "%s: adapter latency timer: %d ms";
const char* const kSlowLine = "each answer waits up to %d ms in the adapter; ";
// What the port asks for when it opens.
constexpr int kLowLatencyMs = 1;

std::string Field(int ms) { return FormatText(kField, ms); }

}  // namespace

Finding LatencyFinding(const std::string& port, int ms) {
    const std::string text = port + ": " + Field(ms);
    if (ms <= kLowLatencyMs) return {text, {}};
    return {text + kSlow, LowerLatencyHint(port)};
}

std::string LatencyField(const std::string& port) {
    const std::optional<int> ms = AdapterLatencyMs(port);
    return ms ? Field(*ms) : std::string();
}

std::vector<std::string> LatencyLines(const std::string& port) {
    const std::optional<int> ms = AdapterLatencyMs(port);
    if (!ms) return {};
    std::vector<std::string> lines = {FormatText(kTimerLine, port.c_str(), *ms)};
    if (*ms > kLowLatencyMs) lines.push_back(FormatText(kSlowLine, *ms) + LowerLatencyHint(port));
    return lines;
}
