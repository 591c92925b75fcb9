#include "book/busy_wait.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace {

const char* const kLogSuffix = "-wal";
// Short looks: the lock is free for moments only, between two writers' blocks.
constexpr std::chrono::milliseconds kFirstSleep{1};
constexpr int kLongestSleepDoublings = 3;

}  // namespace

BusyWait::BusyWait(const std::filesystem::path& book) : book_(book), log_(book) { log_ += kLogSuffix; }

int BusyWait::Handler(void* self, int count) { return static_cast<BusyWait*>(self)->KeepWaiting(count) ? 1 : 0; }

// A file that is not there has the zero stamp.
BusyWait::Stamp BusyWait::StampOf(const std::filesystem::path& file) {
    std::error_code error;
    Stamp stamp{std::filesystem::file_size(file, error), {}};
    if (error) return {};
    stamp.written = std::filesystem::last_write_time(file, error);
    return error ? Stamp{} : stamp;
}

bool BusyWait::KeepWaiting(int count) {
    const auto now = std::chrono::steady_clock::now();
    const Stamp book = StampOf(book_), log = StampOf(log_);
    if (count == 0) started_ = now;
    if (count == 0 || book != bookSeen_ || log != logSeen_) {
        moved_ = now;
        bookSeen_ = book;
        logSeen_ = log;
    }
    if (now - moved_ >= std::chrono::milliseconds(kBusyTimeoutMs) ||
        now - started_ >= std::chrono::milliseconds(kBusyLimitMs))
        return false;
    std::this_thread::sleep_for(kFirstSleep * (1 << std::min(count, kLongestSleepDoublings)));
    return true;
}
