// The record book against real SQLite files: a download recorded row by
// row, the same reads recognised, the schema's versions, and the files and
// locks a book must refuse without touching them.
#include <gtest/gtest.h>

#include <chrono>
#include <atomic>
#include <thread>

#include "book/book.h"
#include "book/schema.h"
#include "book/statement.h"
#include "book_records.h"
#include "ops/csv_writer.h"
#include "temp_dir.h"

namespace {

// What version 1 of the book wrote: downloads and reads, no animals.
const char* const kVersion1Book = R"(
PRAGMA application_id = 1264678466;
PRAGMA user_version = 1;
CREATE TABLE downloads (number INTEGER PRIMARY KEY, started TEXT NOT NULL, port TEXT NOT NULL,
    firmware TEXT NOT NULL, reported INTEGER NOT NULL, file TEXT NOT NULL, format TEXT NOT NULL,
    outcome TEXT NOT NULL DEFAULT 'unfinished', ended TEXT NOT NULL DEFAULT '');
CREATE TABLE reads (country INTEGER NOT NULL, national INTEGER NOT NULL, raw BLOB NOT NULL, type TEXT NOT NULL,
    tid TEXT NOT NULL, time TEXT NOT NULL, first_download INTEGER NOT NULL REFERENCES downloads(number),
    first_row INTEGER NOT NULL, PRIMARY KEY (country, national, raw)) WITHOUT ROWID;
CREATE INDEX reads_by_first_download ON reads(first_download);
CREATE TABLE download_rows (download INTEGER NOT NULL REFERENCES downloads(number), row INTEGER NOT NULL,
    country INTEGER NOT NULL, national INTEGER NOT NULL, raw BLOB NOT NULL, PRIMARY KEY (download, row),
    FOREIGN KEY (country, national, raw) REFERENCES reads(country, national, raw)) WITHOUT ROWID;
INSERT INTO downloads VALUES (1, '2021-09-19 05:44:00', 'COM3', '1.2', 1, 'a.csv', 'csv', 'complete', '');
INSERT INTO reads VALUES (982, 123456789012, x'00141A99BE9CF500000000005F5E1000', 'FDXB', '123456789012',
    '2020-09-13 12:26:40', 1, 1);
INSERT INTO download_rows VALUES (1, 1, 982, 123456789012, x'00141A99BE9CF500000000005F5E1000');
)";

class BookTest : public ::testing::Test {
protected:
    std::filesystem::path BookPath() const { return dir_.path() / "records.db"; }

    TempDir dir_;
};

int64_t SchemaVersionOf(const std::filesystem::path& path) {
    Book book;
    if (!book.Open(path, BookAccess::Existing).Ok()) return -1;
    Statement version(book.Handle(), "PRAGMA user_version");
    return version.Step() == SQLITE_ROW ? version.Int(0) : -1;
}

TEST_F(BookTest, ANewBookIsCreatedWithItsFolderOnlyWhenAskedTo) {
    const std::filesystem::path path = dir_.path() / "kavrin" / "records.db";
    Book book;
    EXPECT_EQ(book.Open(path, BookAccess::Existing).error, BookError::Missing);
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "kavrin"));
    ASSERT_TRUE(book.Open(path, BookAccess::Create).Ok());
    EXPECT_EQ(SchemaVersionOf(path), kSchemaVersion);
}

TEST_F(BookTest, ADownloadIsInTheBookAsCommittedMarkedUnfinishedUntilItEnds) {
    const TagRecord first = FdxbRecord(982, 123456789012), second = FdxbRecord(276, 5), third = FdxbRecord(276, 6);
    {
        Book book;
        ASSERT_TRUE(book.Open(BookPath(), BookAccess::Create).Ok());
        Recording recording(book);
        DownloadStart start = StartAt(19);
        start.reported = 3;
        ASSERT_TRUE(recording.Begin(start).Ok());
        ASSERT_TRUE(recording.Add(1, first, DecodeTagRecord(first)).Ok());
        ASSERT_TRUE(recording.Add(2, second, DecodeTagRecord(second)).Ok());
        ASSERT_TRUE(recording.Commit().Ok());
        ASSERT_TRUE(recording.Add(3, third, DecodeTagRecord(third)).Ok());
        // The program ends here, as a killed one would: the third row was never committed.
    }
    Book book;
    ASSERT_TRUE(book.Open(BookPath(), BookAccess::Existing).Ok());
    auto downloads = ListDownloads(book);
    ASSERT_TRUE(downloads.status.Ok()) << downloads.status.text;
    ASSERT_EQ(downloads.value.size(), 1u);
    const DownloadSummary& summary = downloads.value[0];
    EXPECT_EQ(summary.outcome, "unfinished");
    EXPECT_EQ(summary.rows, 2);
    EXPECT_EQ(summary.newRows, 2);
    EXPECT_EQ(summary.started, "2021-09-19 05:44:00");
    EXPECT_EQ(summary.port, "/dev/ttyUSB0");
    EXPECT_EQ(summary.firmware, "1.4");
    EXPECT_EQ(summary.file, "20210919_0544.csv");

    const auto rows = DownloadRows(book, summary.number);
    ASSERT_EQ(rows.value.size(), 2u);
    EXPECT_EQ(rows.value[0].record, first);
    EXPECT_EQ(rows.value[1].row, 2);
    EXPECT_EQ(rows.value[1].tag.id, (TagId{276, 5}));
    EXPECT_EQ(rows.value[1].tag.seconds, 1600000000u);

    // The read's columns hold the window's texts, as every book before has held them.
    Statement texts(book.Handle(), "SELECT type, tid, time FROM reads WHERE country = 276 AND national = 5");
    ASSERT_EQ(texts.Step(), SQLITE_ROW);
    EXPECT_EQ(texts.Text(0), "FDXB");
    EXPECT_EQ(texts.Text(1), "000000000005");
    EXPECT_EQ(texts.Text(2), TimeText(1600000000));
}

TEST_F(BookTest, AFinishedDownloadCarriesItsOutcomeAndCount) {
    Book book;
    ASSERT_TRUE(book.Open(BookPath(), BookAccess::Create).Ok());
    Recording recording(book);
    ASSERT_TRUE(recording.Begin(StartAt(19)).Ok());
    const TagRecord record = FdxbRecord(982, 7);
    ASSERT_TRUE(recording.Add(1, record, DecodeTagRecord(record)).Ok());
    ASSERT_TRUE(recording.Finish(DownloadOutcome::Stopped, 40).Ok());
    EXPECT_EQ(recording.Rows(), 1) << "Finish commits what is open";
    const DownloadSummary summary = ListDownloads(book).value.at(0);
    EXPECT_EQ(summary.outcome, "stopped");
    EXPECT_EQ(summary.reported, 40);
    EXPECT_EQ(summary.rows, 1);
}

TEST_F(BookTest, TheSameBytesAreTheSameReadAndOnlyNewReadsCountAsNew) {
    Book book;
    ASSERT_TRUE(book.Open(BookPath(), BookAccess::Create).Ok());
    const TagRecord cow = FdxbRecord(982, 1, 1600000000), calf = FdxbRecord(982, 2), cowAgain = FdxbRecord(982, 1, 1600000100);
    Recording monday(book), tuesday(book);
    RecordDownload({cow, calf}, 20, monday);
    RecordDownload({calf, cow, cowAgain}, 21, tuesday);
    EXPECT_EQ(monday.NewRows(), 2);
    EXPECT_EQ(tuesday.Rows(), 3);
    EXPECT_EQ(tuesday.NewRows(), 1) << "the cow read again at another second is a new read";

    const auto rows = DownloadRows(book, tuesday.Number());
    ASSERT_EQ(rows.value.size(), 3u);
    EXPECT_FALSE(rows.value[0].isNew);
    EXPECT_FALSE(rows.value[1].isNew);
    EXPECT_TRUE(rows.value[2].isNew);
    EXPECT_EQ(ListDownloads(book).value.at(1).newRows, 1);

    const auto reads = ReadsOfTag(book, {982, 1});
    ASSERT_EQ(reads.value.size(), 2u) << "each read once";
    EXPECT_EQ(reads.value[0].record, cowAgain) << "newest first";
    EXPECT_EQ(reads.value[0].download, tuesday.Number());
    EXPECT_EQ(reads.value[1].download, monday.Number());
}

TEST_F(BookTest, AnOlderBookIsUpgradedInPlaceKeepingItsDownloads) {
    ASSERT_TRUE(RunSql(BookPath(), kVersion1Book));
    Book book;
    ASSERT_TRUE(book.Open(BookPath(), BookAccess::Existing).Ok());
    EXPECT_EQ(SchemaVersionOf(BookPath()), kSchemaVersion);
    const auto downloads = ListDownloads(book);
    ASSERT_EQ(downloads.value.size(), 1u);
    EXPECT_EQ(downloads.value[0].port, "COM3");
    const auto reads = ReadsOfTag(book, {982, 123456789012});
    ASSERT_EQ(reads.value.size(), 1u);
    EXPECT_EQ(reads.value[0].tag.type, TagType::Fdxb);
    EXPECT_EQ(reads.value[0].tag.id, (TagId{982, 123456789012}));
    EXPECT_EQ(reads.value[0].tag.seconds, 1600000000u) << "2020-09-13 12:26:40 UTC, from the stored bytes";
    EXPECT_TRUE(SaveAnimals(book, {{{982, 123456789012}, "17", "Daisy", "", ""}}, {true, true, false, false}).Ok());
    EXPECT_TRUE(DownloadRows(book, 1).value.at(0).known);
}

TEST_F(BookTest, ANewerBookIsRefusedAndLeftAsItWas) {
    ASSERT_TRUE(RunSql(BookPath(), std::string(kVersion1Book) + "PRAGMA user_version = 99;"));
    const std::string before = ReadBytes(BookPath());
    Book book;
    const BookStatus status = book.Open(BookPath(), BookAccess::Create);
    EXPECT_EQ(status.error, BookError::Newer);
    EXPECT_NE(status.text.find("newer"), std::string::npos) << status.text;
    EXPECT_EQ(ReadBytes(BookPath()), before);
}

TEST_F(BookTest, AFileThatIsNotABookIsRefusedAndLeftAsItWas) {
    const std::filesystem::path text = dir_.path() / "notes.txt", other = dir_.path() / "other.db";
    std::ofstream(text, std::ios::binary) << "INDEX,TYPE,COUNTRY ID,TID,TIME\r\n1,FDXB,982,123456789012,\r\n";
    ASSERT_TRUE(RunSql(other, "CREATE TABLE contacts (name TEXT)"));
    for (const auto& path : {text, other}) {
        const std::string before = ReadBytes(path);
        Book book;
        EXPECT_EQ(book.Open(path, BookAccess::Create).error, BookError::NotABook) << path;
        EXPECT_FALSE(book.IsOpen());
        EXPECT_EQ(ReadBytes(path), before) << path;
    }
}

TEST_F(BookTest, ALockedBookIsReportedOnceTheBusyTimeOutHasPassed) {
    Book book;
    ASSERT_TRUE(book.Open(BookPath(), BookAccess::Create).Ok());
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(Utf8FromPath(BookPath()).c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    Recording recording(book);
    const auto start = std::chrono::steady_clock::now();
    const BookStatus status = recording.Begin(StartAt(19));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(status.error, BookError::Locked) << status.text;
    EXPECT_GE(waited, std::chrono::milliseconds(kBusyTimeoutMs));
    EXPECT_LT(waited, std::chrono::seconds(20));

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(recording.Begin(StartAt(19)).Ok()) << "free again once the other program lets go";
}

// Another writer that holds the lock past the busy time-out but keeps
// writing (its rows spill into the write-ahead log as it goes, as a
// download's many blocks keep the book moving) is waited for, not taken
// for a program that holds the book.
TEST_F(BookTest, ABookThatAnotherWriterKeepsWritingToIsWaitedForPastTheBusyTimeOut) {
    Book book;
    ASSERT_TRUE(book.Open(BookPath(), BookAccess::Create).Ok());
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(Utf8FromPath(BookPath()).c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA cache_size = 1; BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    const char* const kRow = "INSERT INTO downloads (started, port, firmware, reported, file, format)"
                             " VALUES ('2021-09-18 05:44:00', 'COM3', '1.0', 0, hex(randomblob(4000)), 'csv')";
    const auto holding = std::chrono::milliseconds(kBusyTimeoutMs * 3 / 2);
    std::thread writing([&] {
        const auto until = std::chrono::steady_clock::now() + holding;
        while (std::chrono::steady_clock::now() < until && sqlite3_exec(other, kRow, nullptr, nullptr, nullptr) == SQLITE_OK)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });

    Recording recording(book);
    const auto start = std::chrono::steady_clock::now();
    const BookStatus status = recording.Begin(StartAt(19));
    const auto waited = std::chrono::steady_clock::now() - start;
    writing.join();
    sqlite3_close(other);
    EXPECT_TRUE(status.Ok()) << status.text;
    EXPECT_GT(waited, std::chrono::milliseconds(kBusyTimeoutMs)) << "the other writer held the lock all along";
}

}  // namespace
