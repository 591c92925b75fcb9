#include "watch/named_ports.h"

#include <algorithm>

#include "ops/clock.h"

namespace {

// A try is the watch's business, not the user's: it says nothing.
class Quiet final : public Feedback {
public:
    void AppendLog(const std::string&) override {}
    bool ShowMessage(const std::string&, Buttons) override { return false; }
};

struct NamedPort {
    std::string name;
    bool present = false;
    std::chrono::milliseconds due{0};  // on the watch's own time
};

class NamedPorts final : public PortEvents {
public:
    NamedPorts(std::vector<std::string> names, std::chrono::milliseconds every, PortTry attempt)
        : every_(every), attempt_(std::move(attempt)) {
        for (std::string& name : names) ports_.push_back({std::move(name)});
    }

    std::vector<PortEvent> Next(std::chrono::milliseconds wait) override {
        std::vector<PortEvent> events = TryDue();
        while (events.empty() && wait.count() > 0) {
            const std::chrono::milliseconds slept = std::min(wait, UntilNextDue());
            SystemClock().sleep(static_cast<unsigned>(slept.count()));
            now_ += slept;
            wait -= slept;
            events = TryDue();
        }
        return events;
    }

private:
    std::vector<PortEvent> TryDue() {
        std::vector<PortEvent> events;
        for (NamedPort& port : ports_) {
            if (port.due > now_) continue;
            const PortAnswer answer = attempt_(port.name);
            port.due = now_ + every_;
            if (answer == PortAnswer::Busy || (answer == PortAnswer::Answered) == port.present) continue;
            port.present = !port.present;
            events.push_back({port.present ? PortChange::Appeared : PortChange::Gone, port.name});
        }
        return events;
    }

    std::chrono::milliseconds UntilNextDue() const {
        auto next = std::min_element(ports_.begin(), ports_.end(),
                                     [](const NamedPort& a, const NamedPort& b) { return a.due < b.due; });
        // At least a millisecond: a watch with no interval still waits for its caller's time.
        return next == ports_.end() ? every_ : std::max(next->due - now_, std::chrono::milliseconds(1));
    }

    std::vector<NamedPort> ports_;
    std::chrono::milliseconds every_;
    PortTry attempt_;
    // The time the watch has waited: tries take their own time besides.
    std::chrono::milliseconds now_{0};
};

}  // namespace

// The connect's own test of a reader: its version answer.
ConnectResult TryReader(const std::string& port) {
    Quiet quiet;
    PortHandle handle = nullptr;
    const ConnectResult result = ConnectReader(quiet, port, handle);
    DisconnectReader(handle);
    return result;
}

PortAnswer AnswerOf(const ConnectResult& result) {
    if (result.connected) return PortAnswer::Answered;
    return result.open.failure == OpenFailure::Busy ? PortAnswer::Busy : PortAnswer::Silent;
}

PortAnswer AskForVersion(const std::string& port) { return AnswerOf(TryReader(port)); }

std::unique_ptr<PortEvents> WatchNamedPorts(std::vector<std::string> ports, std::chrono::milliseconds every,
                                            PortTry attempt) {
    return std::make_unique<NamedPorts>(std::move(ports), every, std::move(attempt));
}
