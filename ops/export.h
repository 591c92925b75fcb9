// "Get Data": every stored record into a new dated file, CSV unless another
// format is asked for.
//
// The reader is asked for its record count, then for blocks of up to ten
// records from index 0 until the count is reached or a block comes back
// empty. Each record becomes one row, written at once. A block request that
// fails (no answer, a bad frame, or a count byte claiming more records than
// the answer carries) is sent again for the same index; after three failures
// in a row the export stops and keeps the rows it has. A front end may ask
// it to stop (Feedback::StopRequested): it then stops before the next
// request and keeps the rows it has. A file that cannot be created or
// written stops the export with a message; nothing is reported as saved that
// was not, and "saved" means the file and its name are on the disk.
#pragma once

#include <cstdint>
#include <filesystem>

#include "ops/export_file.h"
#include "ops/feedback.h"
#include "ops/record_writer.h"

enum class ExportStatus {
    Saved,          // every record the reader gave is in the file
    CountFailed,    // the count request failed; no file
    NoRecords,      // the reader holds none; no file
    CannotCreate,   // the file could not be created; nothing fetched
    CannotWrite,    // a write failed; the file holds the rows before it
    RecordsFailed,  // a block request kept failing; the file holds the rows before it
    Interrupted,    // the front end asked it to stop; the file, if any, holds the rows fetched
};

struct ExportResult {
    ExportStatus status = ExportStatus::CountFailed;
    std::filesystem::path file;  // the CSV file, empty when none was created
    int rows = 0;                // rows written below the header
    int32_t total = 0;           // the count the reader reported
    FileDigest written;          // every byte that went into the file
};

// The export into `dir` in `writer`'s format, reporting through `ui`
// exactly as the button does.
ExportResult ExportRecords(Feedback& ui, const std::filesystem::path& dir, RecordWriter& writer);
// The same into the CSV file.
ExportResult ExportRecords(Feedback& ui, const std::filesystem::path& dir);

// The export into the current working directory, as the button runs it.
ExportResult ExportIntoWorkingFolder(Feedback& ui);
// The button.
void OnBnClickedGetData(Feedback& ui);
