// Several downloads into one record book at once, as readers downloaded
// side by side do it: two threads of this process and two other processes,
// each exporting its own virtual reader at the line's real pace. Every
// download completes with every row in its own download.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "book/book.h"
#include "pty/book_download.h"
#include "pty/child_process.h"
#include "sim/virtual_reader.h"
#include "unit/temp_dir.h"

namespace {

constexpr size_t kRecords = 600;
constexpr unsigned kBaud = 115200;

// Reader `seed`'s records, none shared with another reader.
std::vector<TagBytes> RecordsOf(uint32_t seed) { return GenerateRecords(kRecords, seed); }

// One download of a paced reader of `seed`'s records into `book`; the
// outcome, rows and the book's line.
std::string DownloadInto(const std::filesystem::path& book, const std::filesystem::path& dir, uint32_t seed) {
    ReaderConfig config;
    config.records = RecordsOf(seed);
    config.baud = kBaud;
    VirtualReader reader(config);
    std::string error;
    if (!reader.Start(&error)) return "reader: " + error;
    const BookDownload download = DownloadIntoBook(reader.PortPath(), book, dir);
    std::ostringstream report;
    report << "outcome " << static_cast<int>(download.result.outcome) << " rows " << download.result.rows
           << " booked " << download.booked << " download " << download.number << ": " << download.line;
    return report.str();
}

std::string Expected(int64_t number) {
    std::ostringstream report;
    report << "outcome " << static_cast<int>(Outcome::Ok) << " rows " << kRecords << " booked 1 download " << number
           << ": record book: download " << number << ", " << kRecords << " records, " << kRecords << " new";
    return report.str();
}

TEST(BookWriters, DownloadsFromSeveralProcessesAndThreadsAtOnceAllGoIntoOneBook) {
    TempDir dir;
    const std::filesystem::path book = dir.path() / "records.db";
    // The children fork before this process has threads of its own.
    const Child first = StartChild([&] { return DownloadInto(book, dir.path() / "p1", 1); });
    const Child second = StartChild([&] { return DownloadInto(book, dir.path() / "p2", 2); });
    std::string reports[2];
    std::thread third([&] { reports[0] = DownloadInto(book, dir.path() / "t3", 3); });
    std::thread fourth([&] { reports[1] = DownloadInto(book, dir.path() / "t4", 4); });
    third.join();
    fourth.join();
    const std::vector<std::string> all = {ReportOf(first).value_or("child failed"),
                                          ReportOf(second).value_or("child failed"), reports[0], reports[1]};
    std::string said;
    for (const std::string& report : all) said += "\n" + report;

    Book opened;
    ASSERT_TRUE(opened.Open(book, BookAccess::Existing).Ok());
    const auto downloads = ListDownloads(opened);
    ASSERT_TRUE(downloads.status.Ok()) << downloads.status.text;
    ASSERT_EQ(downloads.value.size(), 4u) << said;
    for (const DownloadSummary& download : downloads.value) {
        EXPECT_EQ(std::count(all.begin(), all.end(), Expected(download.number)), 1) << download.number << said;
        EXPECT_EQ(download.outcome, "complete");
        // Which reader it was: the folder its file went to.
        const std::string folder = std::filesystem::path(download.file).parent_path().filename().string();
        const std::vector<TagBytes> records = RecordsOf(static_cast<uint32_t>(folder.back() - '0'));
        const auto rows = DownloadRows(opened, download.number);
        ASSERT_EQ(rows.value.size(), kRecords) << folder;
        for (size_t i = 0; i < kRecords; ++i) {
            ASSERT_EQ(rows.value[i].row, static_cast<int>(i + 1));
            ASSERT_EQ(rows.value[i].record, records[i]) << folder << " row " << i + 1;
        }
    }
}

}  // namespace
