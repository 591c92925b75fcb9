// Waiting for the book's write lock while other downloads write to it.
//
// SQLite's own busy time-out gives up after a fixed time even while the
// lock changes hands all along: writers beside this one (other downloads,
// in this process or another) each take it for one block and commit, and
// a waiter that only looks now and then can find it taken every time. So
// the wait goes on for as long as the book moves (its file or its
// write-ahead log changes: someone commits) and gives up once the book has
// stood still, locked, for kBusyTimeoutMs: a program that holds the book
// and writes nothing, which is then reported as a lock. However busy the
// book, no wait lasts past kBusyLimitMs.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>

inline constexpr int kBusyTimeoutMs = 2000;
inline constexpr int kBusyLimitMs = 60000;

class BusyWait {
public:
    explicit BusyWait(const std::filesystem::path& book);

    // SQLite's busy handler (sqlite3_busy_handler), `self` a BusyWait:
    // nonzero to try again after a short sleep.
    static int Handler(void* self, int count);

private:
    // What a commit changes: the size or the time of the last write.
    struct Stamp {
        uintmax_t size = 0;
        std::filesystem::file_time_type written{};
        bool operator==(const Stamp&) const = default;
    };
    static Stamp StampOf(const std::filesystem::path& file);

    bool KeepWaiting(int count);

    std::filesystem::path book_;
    std::filesystem::path log_;  // the write-ahead log beside it
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point moved_;  // when the book last changed during this wait
    Stamp bookSeen_;
    Stamp logSeen_;
};
