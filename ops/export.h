// "Get Data": every stored record into a new dated file, CSV unless another
// format is asked for.
//
// The reader is asked for its record count, then for its records (see
// record_blocks.h); each record becomes one row, written at once. After
// three failed block requests in a row, or when the front end asks it to
// stop, the export keeps the rows it has. A file that cannot be created or
// written stops the export with a message; nothing is reported as saved that
// was not, and "saved" means the file and its name are on the disk: every
// message that speaks of saved rows comes after they are synced.
#pragma once

#include <cstdint>
#include <filesystem>

#include "link/serial_port.h"
#include "ops/export_file.h"
#include "ops/feedback.h"
#include "ops/record_writer.h"
#include "ops/result.h"

// Ok: every record the reader gave is in the file (an empty reader: no
// file). TransactionFailed: the count failed (no file), or a block request
// kept failing (the file holds the rows before it). FileFailed: the file
// could not be created, written or synced; nothing in it is promised.
// Stopped: the file, if any, holds the rows fetched.
struct ExportResult : OpResult {
    std::filesystem::path file;  // the file, empty when none was created or kept
    int rows = 0;                // rows written below the header
    int32_t total = 0;           // the count the reader reported
    FileDigest written;          // every byte that went into the file
};

// The export over `port` into `dir` in `writer`'s format.
ExportResult ExportRecords(Feedback& ui, PortHandle port, const std::filesystem::path& dir, RecordWriter& writer);

// The same into the window's CSV file.
ExportResult ExportCsv(Feedback& ui, PortHandle port, const std::filesystem::path& dir);
