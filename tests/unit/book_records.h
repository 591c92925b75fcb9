// Records and books for the book's tests: FDX-B records made from their
// fields, a book file in a temporary folder, and SQL run on it directly,
// as another program would.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "book/book.h"
#include "link/utf8_path.h"
#include "ops/tag_record.h"

// An FDX-B record of `country` and `national`, read at `seconds`.
inline TagRecord FdxbRecord(unsigned country, uint64_t national, uint32_t seconds = 1600000000) {
    TagRecord r{};
    for (int i = 0; i < 4; ++i) r[1 + i] = static_cast<uint8_t>(national >> (8 * i));
    r[5] = static_cast<uint8_t>(((national >> 32) & 0x3F) | ((country & 3) << 6));
    r[6] = static_cast<uint8_t>(country >> 2);
    for (int i = 0; i < 4; ++i) r[12 + i] = static_cast<uint8_t>(seconds >> (24 - 8 * i));
    return r;
}

// SQL run on the file through a connection of its own; false with the reason on failure.
inline ::testing::AssertionResult RunSql(const std::filesystem::path& path, const std::string& sql) {
    sqlite3* db = nullptr;
    int code = sqlite3_open(Utf8FromPath(path).c_str(), &db);
    if (code == SQLITE_OK) code = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    const std::string message = sqlite3_errmsg(db);
    sqlite3_close(db);
    if (code == SQLITE_OK) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << message;
}

inline DownloadStart StartAt(int day, const std::string& file = "20210919_0544.csv") {
    return {LocalTime{2021, 9, day, 5, 44, 0}, "/dev/ttyUSB0", "1.4", 0, file, "csv"};
}

// A download of `records`, complete; its recording for the counts.
inline void RecordDownload(const std::vector<TagRecord>& records, int day, Recording& recording) {
    ASSERT_TRUE(recording.Begin(StartAt(day)).Ok());
    int row = 0;
    for (const TagRecord& record : records) ASSERT_TRUE(recording.Add(++row, record, DecodeTagRecord(record)).Ok());
    ASSERT_TRUE(recording.Finish(DownloadOutcome::Complete, static_cast<int32_t>(records.size())).Ok());
}

// A read of download 1 as the book gives it: row `row`, its animal's tag
// filled in (the book's answers carry it whether the list knows the animal or not).
inline BookRead ReadAt(int row, const TagRecord& record) {
    BookRead read;
    read.download = 1;
    read.row = row;
    read.downloadStarted = "2021-09-19 05:44:00";
    read.record = record;
    read.tag = DecodeTagRecord(record);
    read.animal.tag = read.tag.id;
    return read;
}
