#include "cli/progress_bar.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

const int kBarCells = 24;
const double kRedrawSeconds = 0.1;
const char* const kUnknown = "--";

std::string Duration(double seconds) {
    long long s = std::llround(seconds);
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    return text;
}

std::string Rate(double perSecond) {
    char text[32];
    std::snprintf(text, sizeof text, perSecond >= 10 ? "%.0f" : "%.1f", perSecond);
    return text;
}

}  // namespace

std::string FormatProgress(long long done, long long total, const std::string& unit, double perSecond) {
    total = std::max(total, 0LL);
    const long long shown = std::clamp(done, 0LL, total);
    const long long percent = total > 0 ? shown * 100 / total : 100;
    const long long cells = total > 0 ? shown * kBarCells / total : kBarCells;

    std::string rate = kUnknown;
    std::string left = kUnknown;
    if (perSecond > 0) {
        rate = Rate(perSecond);
        left = Duration(static_cast<double>(total - shown) / perSecond);
    }

    std::string bar(kBarCells + 2, '-');
    bar.front() = '[';
    bar.back() = ']';
    std::fill_n(bar.begin() + 1, cells, '#');
    char text[256];
    std::snprintf(text, sizeof text, "%s %3lld%%  %lld/%lld %s  %s %s/s  %s left", bar.c_str(), percent, shown, total,
                  unit.c_str(), rate.c_str(), unit.c_str(), left.c_str());
    return text;
}

ProgressBar::ProgressBar(std::FILE* out, bool drawBar, Clock clock)
    : out_(out), drawBar_(drawBar), clock_(std::move(clock)) {}

double ProgressBar::MonotonicSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void ProgressBar::WriteLine(const std::string& line) {
    const bool barShown = drawnWidth_ > 0;
    Clear();
    std::fprintf(out_, "%s\n", line.c_str());
    if (barShown) Draw();
    std::fflush(out_);
}

void ProgressBar::Start(long long total, const std::string& unit) {
    Clear();
    active_ = true;
    done_ = 0;
    total_ = total;
    unit_ = unit;
    firstAt_ = -1;
    drawnAt_ = -1;
}

void ProgressBar::Update(long long done) {
    if (!active_) return;
    done_ = done;
    if (!drawBar_) return;
    const double now = clock_();
    if (firstAt_ < 0) {
        firstAt_ = now;
        firstDone_ = done;
    }
    if (drawnAt_ >= 0 && now - drawnAt_ < kRedrawSeconds && done_ < total_) return;
    Draw();
    drawnAt_ = now;
}

void ProgressBar::Finish() {
    Clear();
    active_ = false;
}

void ProgressBar::Clear() {
    if (drawnWidth_ == 0) return;
    std::fprintf(out_, "\r%*s\r", static_cast<int>(drawnWidth_), "");
    std::fflush(out_);
    drawnWidth_ = 0;
}

void ProgressBar::Draw() {
    const double elapsed = clock_() - firstAt_;
    const double perSecond = elapsed > 0 ? static_cast<double>(done_ - firstDone_) / elapsed : 0;
    std::string text = FormatProgress(done_, total_, unit_, perSecond);
    // A shorter line must cover the longer one drawn before it.
    if (text.size() < drawnWidth_) text.append(drawnWidth_ - text.size(), ' ');
    std::fprintf(out_, "\r%s", text.c_str());
    std::fflush(out_);
    drawnWidth_ = text.size();
}
