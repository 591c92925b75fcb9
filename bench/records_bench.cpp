// What Kavrin Records asks of the book and of its lists, timed where the
// window has it done: the queries and the sorting run on the book's worker
// (so they may take long without the window waiting), the cells of one
// screen on the window's thread (so they must take next to nothing). Over
// a book of 1,000,000 reads whose newest download holds 100,000.
//
// records_bench [BOOK]: the book is built at BOOK (default: a folder in the
// system's temporary folder) unless it is there already.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "big_book.h"
#include "book/table_cells.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kScreenRows = 40;
constexpr int kTagLookups = 20;

double MsSince(SteadyClock::time_point start) {
    return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
}

// Milliseconds `work` took, the slowest of `runs`.
template <typename Work>
double Slowest(int runs, Work work) {
    double slowest = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = SteadyClock::now();
        work(i);
        slowest = std::max(slowest, MsSince(start));
    }
    return slowest;
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path path =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path() / "kavrin-records-bench" / "records.db";
    Book book;
    if (!OpenBigBook(path, book)) return 1;

    std::printf("on the book's worker, never on the window's thread:\n");
    double ms = Slowest(5, [&](int) { ChangeCount(book); });
    std::printf("  the look each second for another program's writing (change count): %.3f ms\n", ms);
    size_t downloads = 0;
    ms = Slowest(3, [&](int) { downloads = ListDownloads(book).value.size(); });
    std::printf("  the %zu downloads listed: %.1f ms\n", downloads, ms);
    std::vector<BookRead> reads;
    ms = Slowest(3, [&](int) { reads = DownloadRows(book, kBigBookDownloads).value; });
    std::printf("  the newest download's %zu reads: %.0f ms\n", reads.size(), ms);
    for (int column : {0, 3, 4, 5}) {
        ms = Slowest(3, [&](int) { SortedReads(reads, column, false); });
        std::printf("  the %zu reads sorted by %s, descending: %.0f ms\n", reads.size(), ReadHeadings()[column].text, ms);
    }
    ms = Slowest(kTagLookups, [&](int i) {
        ReadsOfTag(book, {kBigBookCountry, static_cast<uint64_t>(i + 1) * 49999});
    });
    std::printf("  Find Tag among %d reads, slowest of %d: %.2f ms\n", kBigBookDownloads * kBigBookDownloadReads,
                kTagLookups, ms);
    size_t missing = 0;
    ms = Slowest(3, [&](int) { missing = MissingAnimals(book, "Herd 3", {}).value.size(); });
    std::printf("  Missing... of a group in the newest download (%zu animals): %.1f ms\n", missing, ms);
    size_t unknown = 0;
    ms = Slowest(1, [&](int) { unknown = ReadsOfScope(book, {}, ReadFilter::Unknown).value.size(); });
    std::printf("  Unknown... of the newest download (%zu reads): %.0f ms\n", unknown, ms);
    size_t period = 0;
    ms = Slowest(1, [&](int) { period = ReadsOfScope(book, {0, "0000-01-01", ""}, ReadFilter::All).value.size(); });
    std::printf("  Show Period over every download (%zu reads): %.0f ms\n", period, ms);

    std::printf("on the window's thread:\n");
    ms = Slowest(10, [&](int i) {
        for (int row = 0; row < kScreenRows; ++row) {
            for (int column = 0; column < static_cast<int>(ReadHeadings().size()); ++column)
                ReadCell(reads[(static_cast<size_t>(i) * 7919 + row) % reads.size()], column, IdForm::Spaced);
        }
    });
    std::printf("  the cells of a screen of %d reads: %.3f ms\n", kScreenRows, ms);
    return 0;
}
