// Download, verify, then clear: what a download asked to clear the reader
// (kavrin-cli export --delete, watch --delete) does after the export, so
// that no record is deleted that is not safely in the file.
//
// The reader is cleared only when every check holds, in this order: the
// export saved exactly as many rows as the reader counted (a saved export
// has synced the file and its name to the disk before saying so); the file
// read back from the disk holds exactly the bytes written; a second reading
// of every record gives, byte for byte, the records the rows were made from
// (the reader's answers carry no checksum, so a bit flipped on the line
// shows only there); a fresh count from the reader still equals the
// exported count (no tag was stored meanwhile). The first check that fails
// is named and nothing is deleted. After the delete the reader must count 0.
#pragma once

#include <string_view>
#include <vector>

#include "ops/export.h"
#include "ops/record_writer.h"
#include "watch/download_feedback.h"

// A format's writer that also keeps every record a row was made from.
class KeepingWriter : public RecordWriter {
public:
    explicit KeepingWriter(RecordWriter& format) : format_(format) {}
    std::string_view Extension() const override { return format_.Extension(); }
    std::string NameEnding(int32_t records) const override { return format_.NameEnding(records); }
    bool Begin(ExportFile& file) override { return format_.Begin(file); }
    bool Add(int index, const TagRecord& record, const DecodedTag& tag) override;
    bool Finish() override { return format_.Finish(); }
    void EndBlock() override { format_.EndBlock(); }
    std::vector<std::filesystem::path> FurtherFiles() const override { return format_.FurtherFiles(); }

    const std::vector<TagRecord>& Records() const { return records_; }

private:
    RecordWriter& format_;
    std::vector<TagRecord> records_;
};

// Ok when the records are in the file and gone from the reader, Failed
// otherwise (after any export short of a saved one too), Stopped when a
// stop was asked for before the delete was sent. `exported` holds the
// records the rows were made from.
DownloadStatus ClearAfterExport(DownloadFeedback& ui, PortHandle port, const ExportResult& result,
                                const std::vector<TagRecord>& exported);
