// An export's writer that also keeps the download in the book.
//
// It writes the file through the export's own writer and, for each row the
// file took, puts the same row into the book; EndBlock commits the rows of
// a block before the export asks the reader for the next, so the book holds
// the rows the file holds. The file comes first and never waits on the
// book: once the book fails (locked, full, ...), the rows go on into the
// file alone and Status() says what happened to the book. Finish syncs the
// book's rows before the export speaks of them as saved; the front end then
// gives the download its outcome (Recording::Finish).
#pragma once

#include "book/recording.h"
#include "ops/record_writer.h"

class BookRecordWriter final : public RecordWriter {
public:
    // `start` without its file, which the export claims later.
    BookRecordWriter(RecordWriter& file, Recording& recording, DownloadStart start)
        : file_(file), recording_(recording), start_(std::move(start)) {}

    std::string_view Extension() const override { return file_.Extension(); }
    bool Begin(ExportFile& file) override;
    bool Add(int index, const TagRecord& record, const DecodedTag& tag) override;
    bool Finish() override;
    // The block's rows go into the book's file.
    void EndBlock() override;

    // Whether the book took the download; false too when Begin never came.
    bool Begun() const { return begun_; }
    const BookStatus& Status() const { return status_; }

private:
    RecordWriter& file_;
    Recording& recording_;
    DownloadStart start_;
    bool begun_ = false;
    BookStatus status_;
};
