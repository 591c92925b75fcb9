#include "watch/named_ports.h"

#include <algorithm>

#include "ops/clock.h"
#include "ops/transaction.h"

namespace {

// The last byte of a version answer: a shorter answer proves no reader.
constexpr size_t kVersionEnd = 5;

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

PortAnswer AskForVersion(const std::string& port) {
    PortHandle handle = nullptr;
    const OpenStatus open = OpenPort(handle, port);
    PortAnswer answer = open.failure == OpenFailure::Busy ? PortAnswer::Busy : PortAnswer::Silent;
    ResponseBuffer response{};
    if (open.Opened() && Transact(handle, CMD_GET_VERSION, {}, response) && Carries(response, kVersionEnd))
        answer = PortAnswer::Answered;
    ClosePort(handle);
    return answer;
}

std::unique_ptr<PortEvents> WatchNamedPorts(std::vector<std::string> ports, std::chrono::milliseconds every,
                                            PortTry attempt) {
    return std::make_unique<NamedPorts>(std::move(ports), every, std::move(attempt));
}
