// Standard error for a person: log lines, and during long work a progress
// bar on the line below them.
//
// The bar is one line redrawn in place with a carriage return:
//   [#########---------------]  38%  24/63 blocks  41 blocks/s  0:01 left
// It is drawn only when the stream is a terminal; otherwise the stream gets
// the log lines and nothing else, so a script's log stays clean. Log lines
// written during the work appear above the bar, which is then redrawn.
// Plain carriage returns and spaces, no escape sequences, so any console
// shows it.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

// The bar's text for `done` of `total` units going at `perSecond`. Rate and
// time left read "--" while the rate is not known (0).
std::string FormatProgress(long long done, long long total, const std::string& unit, double perSecond);

class ProgressBar {
public:
    // Seconds on a monotonic clock; tests pass their own.
    using Clock = std::function<double()>;

    ProgressBar(std::FILE* out, bool drawBar, Clock clock = MonotonicSeconds);

    // A log line, above the bar if one is shown.
    void WriteLine(const std::string& line);

    // Starts a bar of `total` units, shown from the first Update. The rate
    // is measured from that first Update, so the work before the first
    // unit (an erase, a count) does not make it look slow.
    void Start(long long total, const std::string& unit);
    // Redraws at most ten times a second, and always for the last unit.
    void Update(long long done);
    // Removes the bar; the next Start begins a new one.
    void Finish();

    bool Active() const { return active_; }

    static double MonotonicSeconds();

private:
    void Clear();
    void Draw();

    std::FILE* out_;
    bool drawBar_;
    Clock clock_;
    bool active_ = false;
    long long done_ = 0;
    long long total_ = 0;
    std::string unit_;
    long long firstDone_ = 0;
    double firstAt_ = -1;
    double drawnAt_ = -1;
    size_t drawnWidth_ = 0;
};
