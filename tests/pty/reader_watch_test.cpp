// The watch's own loop, fed events by the test, with virtual readers on
// ptys: a reader that comes back while its download runs is read again
// after it, never beside it, and not at all when it went again meanwhile;
// a reader that vanishes mid-download costs the one beside it nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "sim/virtual_reader.h"
#include "unit/temp_dir.h"
#include "watch/reader_watch.h"

namespace {

constexpr size_t kWatchedRecords = 600;
constexpr auto kWatchBound = std::chrono::seconds(30);

// Events as the test hands them over, a batch at a time.
class HandedEvents final : public PortEvents {
public:
    void Hand(std::vector<PortEvent> batch) {
        std::lock_guard<std::mutex> lock(mutex_);
        batches_.push_back(std::move(batch));
        handed_.notify_one();
    }
    std::vector<PortEvent> Next(std::chrono::milliseconds wait) override {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!handed_.wait_for(lock, wait, [this] { return !batches_.empty(); })) return {};
        std::vector<PortEvent> batch = std::move(batches_.front());
        batches_.pop_front();
        return batch;
    }

private:
    std::mutex mutex_;
    std::condition_variable handed_;
    std::deque<std::vector<PortEvent>> batches_;
};

// Whether `holds` came true within the bound.
bool Await(const std::function<bool()>& holds) {
    const auto until = std::chrono::steady_clock::now() + kWatchBound;
    while (!holds()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class KeptFront final : public WatchFront {
public:
    void Line(const std::string& line) override {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(line);
    }
    void Finished(const std::string& port, const DownloadReport& report) override {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_.emplace_back(port, report);
    }
    bool StopRequested() override { return stop; }

    std::vector<std::string> Lines() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    std::vector<std::pair<std::string, DownloadReport>> Finished() {
        std::lock_guard<std::mutex> lock(mutex_);
        return finished_;
    }
    size_t Seen(const std::string& line) {
        const std::vector<std::string> lines = Lines();
        return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
    }

    std::atomic<bool> stop{false};

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
    std::vector<std::pair<std::string, DownloadReport>> finished_;
};

class ReaderWatchTest : public ::testing::Test {
protected:
    void TearDown() override {
        front.stop = true;
        if (watch.joinable()) watch.join();
    }
    VirtualReader* NewReader(uint32_t seed) {
        ReaderConfig config;
        config.records = GenerateRecords(kWatchedRecords, seed);
        config.baud = 115200;
        readers.push_back(std::make_unique<VirtualReader>(config));
        std::string error;
        EXPECT_TRUE(readers.back()->Start(&error)) << error;
        return readers.back().get();
    }
    void StartWatch() {
        const DownloadSettings settings{dir.path(), "csv", {}, false, false, {true, dir.path() / "records.db"}};
        watch = std::thread([this, settings] { WatchReaders(events, front, [settings] { return settings; }); });
    }
    static std::string Opened(const std::string& port) { return port + ": CommPort open success!"; }

    TempDir dir;
    HandedEvents events;
    KeptFront front;
    std::vector<std::unique_ptr<VirtualReader>> readers;
    std::thread watch;
};

TEST_F(ReaderWatchTest, AReaderBackDuringItsDownloadIsReadAgainAfterItAndNotWhenGoneAgain) {
    const std::string port = NewReader(1)->PortPath();
    StartWatch();
    events.Hand({{PortChange::Appeared, port}});
    ASSERT_TRUE(Await([&] { return front.Seen(Opened(port)) == 1; }));
    events.Hand({{PortChange::Gone, port}, {PortChange::Appeared, port}});
    ASSERT_TRUE(Await([&] { return front.Seen(Opened(port)) == 2; }));
    const std::vector<std::string> lines = front.Lines();
    const std::string finished = port + ": download finished: 600 records saved in ";
    const auto firstEnd =
        std::find_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.starts_with(finished); });
    const auto secondOpen = std::find(std::find(lines.begin(), lines.end(), Opened(port)) + 1, lines.end(), Opened(port));
    EXPECT_LT(firstEnd, secondOpen) << "the second download after the first";

    // Back and gone again before the download in progress ends: no third.
    events.Hand({{PortChange::Gone, port}, {PortChange::Appeared, port}, {PortChange::Gone, port}});
    Await([&] { return front.Finished().size() == 2; });
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_EQ(front.Seen(Opened(port)), 2u);
    const auto done = front.Finished();
    ASSERT_EQ(done.size(), 2u);
    for (const auto& [which, report] : done) {
        EXPECT_EQ(report.status, DownloadStatus::Ok);
        EXPECT_EQ(report.result.rows, static_cast<int>(kWatchedRecords));
        EXPECT_NE(report.number, 0);
    }
}

TEST_F(ReaderWatchTest, AReaderVanishingMidDownloadCostsTheOneBesideItNothing) {
    VirtualReader* vanishing = NewReader(1);
    VirtualReader* staying = NewReader(2);
    vanishing->AddFault({CMD_GET_RECORDS, FaultKind::Hangup, 0, 3, 1});
    StartWatch();
    events.Hand({{PortChange::Appeared, vanishing->PortPath()}, {PortChange::Appeared, staying->PortPath()}});
    Await([&] { return front.Finished().size() == 2; });
    const auto done = front.Finished();
    ASSERT_EQ(done.size(), 2u);
    for (const auto& [port, report] : done) {
        if (port == vanishing->PortPath()) {
            EXPECT_EQ(report.status, DownloadStatus::Failed);
            EXPECT_GT(report.result.rows, 0);
            EXPECT_LT(report.result.rows, static_cast<int>(kWatchedRecords));
        } else {
            EXPECT_EQ(report.status, DownloadStatus::Ok);
            EXPECT_EQ(report.result.rows, static_cast<int>(kWatchedRecords));
        }
    }
    // The watch goes on: a reader that comes again is read again.
    events.Hand({{PortChange::Appeared, staying->PortPath()}});
    EXPECT_TRUE(Await([&] { return front.Seen(Opened(staying->PortPath())) == 2; }));
}

}  // namespace
