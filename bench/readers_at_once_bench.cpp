// Four readers downloaded at once into one record book by the watch
// itself (watch/reader_watch.h), as kavrin-cli watch does with several
// readers plugged in: 4 virtual readers of 10,000 records each, paced at
// 115200 baud, named as ports the watch tries, each downloaded on a thread
// of its own into its own file and the one book. The total time, from the
// watch's start to the last download's end, is set against the slowest of
// the same four watched one at a time, each into a book of its own: what
// sharing the book and the processor costs.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim/virtual_reader.h"
#include "watch/reader_watch.h"

namespace {

constexpr size_t kReaders = 4;
constexpr size_t kRecords = 10000;
constexpr unsigned kBaud = 115200;

using Clock = std::chrono::steady_clock;

double SecondsBetween(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double>(end - start).count();
}

// Ends the watch once every reader's download has ended; keeps when each did, and how.
class TimedFront final : public WatchFront {
public:
    explicit TimedFront(size_t readers) : readers_(readers) {}

    void Line(const std::string&) override {}
    void Finished(const std::string& port, const DownloadReport& report) override {
        std::lock_guard<std::mutex> lock(mutex_);
        ended.push_back({port, report, Clock::now()});
    }
    bool StopRequested() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return ended.size() == readers_;
    }

    struct Ended {
        std::string port;
        DownloadReport report;
        Clock::time_point at;
    };
    std::vector<Ended> ended;

private:
    size_t readers_;
    std::mutex mutex_;
};

// A new book at `path`, so that no download's time includes making one.
bool NewBook(const std::filesystem::path& path) {
    Book book;
    const BookStatus status = book.Open(path, BookAccess::Create);
    if (!status.Ok()) std::fprintf(stderr, "%s\n", status.text.c_str());
    return status.Ok();
}

// The watch of `ports` into `book` and `dir` until each has been read:
// the seconds each took from the watch's start, nothing when one did not
// keep every record in its file and the book.
std::vector<double> Watch(const std::vector<std::string>& ports, const std::filesystem::path& book,
                          const std::filesystem::path& dir) {
    if (!NewBook(book)) return {};
    std::filesystem::create_directories(dir);
    const DownloadSettings settings{dir, "csv", {}, false, false, {true, book}};
    TimedFront front(ports.size());
    std::unique_ptr<PortEvents> events = WatchNamedPorts(ports);
    const Clock::time_point start = Clock::now();
    WatchReaders(*events, front, [&] { return settings; });
    std::vector<double> seconds;
    for (const TimedFront::Ended& ended : front.ended) {
        const ExportResult& result = ended.report.result;
        if (ended.report.status != DownloadStatus::Ok || result.rows != static_cast<int>(kRecords) ||
            ended.report.number == 0) {
            std::fprintf(stderr, "%s: %d rows, not all in the file and the book\n", ended.port.c_str(), result.rows);
            return {};
        }
        seconds.push_back(SecondsBetween(start, ended.at));
    }
    return seconds;
}

}  // namespace

int main() {
    std::vector<std::unique_ptr<VirtualReader>> readers;
    std::vector<std::string> ports;
    for (size_t i = 0; i < kReaders; ++i) {
        ReaderConfig config;
        config.records = GenerateRecords(kRecords, static_cast<uint32_t>(i + 1));
        config.baud = kBaud;
        readers.push_back(std::make_unique<VirtualReader>(config));
        std::string error;
        if (!readers.back()->Start(&error)) {
            std::fprintf(stderr, "virtual reader: %s\n", error.c_str());
            return 1;
        }
        ports.push_back(readers.back()->PortPath());
    }
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("kavrin-readers-bench-" + std::to_string(getpid()));
    std::printf("%zu readers of %zu records each, paced at %u baud, read by the watch\n", kReaders, kRecords, kBaud);

    double slowest = 0;
    for (size_t i = 0; i < kReaders; ++i) {
        const std::string own = "alone-" + std::to_string(i + 1);
        const std::vector<double> alone = Watch({ports[i]}, dir / (own + ".db"), dir / own);
        if (alone.size() != 1) return 1;
        std::printf("reader %zu alone: %.3f s\n", i + 1, alone[0]);
        slowest = std::max(slowest, alone[0]);
    }

    const std::vector<double> together = Watch(ports, dir / "shared.db", dir / "shared");
    if (together.size() != kReaders) return 1;
    for (size_t i = 0; i < kReaders; ++i) std::printf("at once: a download done after %.3f s\n", together[i]);
    const double total = together.back();
    std::printf("%zu at once into one book: %.3f s against the slowest alone %.3f s: %+.2f %%\n", kReaders, total,
                slowest, (total / slowest - 1) * 100);
    std::filesystem::remove_all(dir);
    return 0;
}
