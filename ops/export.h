// "Get Data": every stored record into a new dated CSV file.
//
// The reader is asked for its record count, then for blocks of up to ten
// records from index 0 until the count is reached or a block comes back
// empty. Each record becomes one row, written and flushed at once. A block
// request that fails (no answer, a bad frame, or a count byte claiming more
// records than the answer carries) is sent again for the same index; after
// three failures in a row the export stops and keeps the rows it has. A file
// that cannot be created or written stops the export with a message; nothing
// is reported as saved that was not.
#pragma once

#include <cstdint>
#include <filesystem>

#include "ops/feedback.h"

enum class ExportStatus {
    Saved,          // every record the reader gave is in the file
    CountFailed,    // the count request failed; no file
    NoRecords,      // the reader holds none; no file
    CannotCreate,   // the file could not be created; nothing fetched
    CannotWrite,    // a write failed; the file holds the rows before it
    RecordsFailed,  // a block request kept failing; the file holds the rows before it
};

struct ExportResult {
    ExportStatus status = ExportStatus::CountFailed;
    std::filesystem::path file;  // the CSV file, empty when none was created
    int rows = 0;                // rows written below the header
    int32_t total = 0;           // the count the reader reported
};

// The export into `dir`, reporting through `ui` exactly as the button does.
ExportResult ExportRecords(Feedback& ui, const std::filesystem::path& dir);

// The button: the export into the current working directory.
void OnBnClickedGetData(Feedback& ui);
