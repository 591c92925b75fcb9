// How an export turns records into its file: one implementation per format.
//
// The export claims the file and hands it over; a writer writes only
// through it, so every byte is counted and digested whatever the format.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "ops/export_file.h"
#include "ops/tag_record.h"

class RecordWriter {
public:
    virtual ~RecordWriter() = default;
    // The file name's extension, dot included: ".csv".
    virtual std::string_view Extension() const = 0;
    // The end of the file's name for an export of `records` records: the
    // extension, unless the format splits a long export into numbered files.
    virtual std::string NameEnding(int32_t records) const {
        (void)records;
        return std::string(Extension());
    }
    // Before the first record: a header, where the format has one.
    virtual bool Begin(ExportFile& file) = 0;
    // One record: its row number (from 1), the 16 bytes as received, their decoding.
    virtual bool Add(int index, const TagRecord& record, const DecodedTag& tag) = 0;
    // After the last record, and after a failure too: what the format keeps
    // until the end. False when it could not be written.
    virtual bool Finish() = 0;
    // The files a split export wrote after the export's own, in order.
    virtual std::vector<std::filesystem::path> FurtherFiles() const { return {}; }
};
