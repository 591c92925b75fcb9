// Four readers downloaded at once into one record book, as a watch does
// with several readers plugged in: 4 virtual readers of 10,000 records
// each, paced at 115200 baud, each exported on a thread of its own into its
// own file and the one book. The total time is set against the slowest of
// the same four downloaded one at a time, each into a book of its own: what
// sharing the book and the processor costs.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sim/virtual_reader.h"
#include "tests/pty/book_download.h"

namespace {

constexpr size_t kReaders = 4;
constexpr size_t kRecords = 10000;
constexpr unsigned kBaud = 115200;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A new book at `path`, so that no download's time includes making one.
bool NewBook(const std::filesystem::path& path) {
    Book book;
    const BookStatus status = book.Open(path, BookAccess::Create);
    if (!status.Ok()) std::fprintf(stderr, "%s\n", status.text.c_str());
    return status.Ok();
}

// False with a reason when the download did not keep every record in the file and the book.
bool Whole(const BookDownload& download, size_t reader) {
    if (download.result.Ok() && download.result.rows == static_cast<int>(kRecords) && download.booked) return true;
    std::fprintf(stderr, "reader %zu: %d rows, book: %s\n", reader + 1, download.result.rows, download.line.c_str());
    return false;
}

}  // namespace

int main() {
    std::vector<std::unique_ptr<VirtualReader>> readers;
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
    }
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("kavrin-readers-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::printf("%zu readers of %zu records each, paced at %u baud\n", kReaders, kRecords, kBaud);

    double slowest = 0;
    for (size_t i = 0; i < kReaders; ++i) {
        const std::string own = "alone-" + std::to_string(i + 1);
        if (!NewBook(dir / (own + ".db"))) return 1;
        const auto start = std::chrono::steady_clock::now();
        if (!Whole(DownloadIntoBook(readers[i]->PortPath(), dir / (own + ".db"), dir / own), i)) return 1;
        const double seconds = SecondsSince(start);
        std::printf("reader %zu alone: %.3f s\n", i + 1, seconds);
        slowest = std::max(slowest, seconds);
    }

    if (!NewBook(dir / "shared.db")) return 1;
    std::vector<BookDownload> downloads(kReaders);
    std::vector<double> took(kReaders);
    std::vector<std::thread> threads;
    const auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < kReaders; ++i) {
        threads.emplace_back([&, i] {
            downloads[i] = DownloadIntoBook(readers[i]->PortPath(), dir / "shared.db", dir / ("shared-" + std::to_string(i + 1)));
            took[i] = SecondsSince(start);
        });
    }
    for (std::thread& thread : threads) thread.join();
    const double total = SecondsSince(start);
    for (size_t i = 0; i < kReaders; ++i) {
        if (!Whole(downloads[i], i)) return 1;
        std::printf("reader %zu at once: done after %.3f s\n", i + 1, took[i]);
    }
    std::printf("%zu at once into one book: %.3f s against the slowest alone %.3f s: %+.2f %%\n", kReaders, total,
                slowest, (total / slowest - 1) * 100);
    std::filesystem::remove_all(dir);
    return 0;
}
