// An export's writer that also keeps the download in the book.
//
// It writes the file through the export's own writer and, for each row the
// file took, puts the same row into the book. The book is written on a
// thread of its own: at the end of each block (EndBlock) the block's rows
// are handed to it and committed there while the export waits for the
// reader's next answer, so the book holds the rows the file holds within a
// moment of each block and costs the export next to nothing. The file
// comes first and never waits on the book: once the book fails (locked,
// full, ...), the rows go on into the file alone and Status() says what
// happened to the book. Finish waits for the book's thread and syncs the
// book before the export speaks of the rows as saved; the front end then
// gives the download its outcome (Recording::Finish).
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "book/recording.h"
#include "ops/record_writer.h"

class BookRecordWriter final : public RecordWriter {
public:
    // `start` without its file, which the export claims later.
    BookRecordWriter(RecordWriter& file, Recording& recording, DownloadStart start)
        : file_(file), recording_(recording), start_(std::move(start)) {}
    ~BookRecordWriter() override;
    BookRecordWriter(const BookRecordWriter&) = delete;
    BookRecordWriter& operator=(const BookRecordWriter&) = delete;

    std::string_view Extension() const override { return file_.Extension(); }
    std::string NameEnding(int32_t records) const override { return file_.NameEnding(records); }
    bool Begin(ExportFile& file) override;
    bool Add(int index, const TagRecord& record, const DecodedTag& tag) override;
    bool Finish() override;
    // The block's rows go to the book's thread, to be committed there.
    void EndBlock() override;
    std::vector<std::filesystem::path> FurtherFiles() const override { return file_.FurtherFiles(); }

    // Whether the book took the download; false too when Begin never came.
    bool Begun() const { return begun_; }
    // What became of the book; read it after Finish.
    const BookStatus& Status() const { return status_; }

private:
    struct Row {
        int index;
        TagRecord record;
        DecodedTag tag;
    };

    void Work();
    void Stop();

    RecordWriter& file_;
    Recording& recording_;
    DownloadStart start_;
    bool begun_ = false;
    std::vector<Row> block_;  // rows of the block the export is writing

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::vector<Row>> blocks_;  // handed over, not yet in the book
    bool stopping_ = false;
    BookStatus status_;  // the worker's while it runs
    std::thread worker_;
};
