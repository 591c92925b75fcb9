// Deadlines on the monotonic clock, for the port time-outs.
#pragma once

#include <chrono>

class Deadline {
public:
    explicit Deadline(std::chrono::milliseconds fromNow)
        : at_(std::chrono::steady_clock::now() + fromNow) {}

    // Milliseconds left, rounded up so that a wait never ends early; 0 once passed.
    int RemainingMs() const {
        auto left = at_ - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) return 0;
        return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
    }

    bool Before(const Deadline& other) const { return at_ < other.at_; }

private:
    std::chrono::steady_clock::time_point at_;
};
