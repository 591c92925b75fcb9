#include "ops/export.h"

#include <system_error>

#include "ops/clock.h"
#include "ops/csv_writer.h"
#include "ops/format_text.h"
#include "ops/housekeeping.h"
#include "ops/record_blocks.h"
#include "ops/tag_record.h"

namespace {

const char* const kCountFailed = "Get records cnt failed.";
const char* const kCountZero = "Records cnt is 0.";
const char* const kRecordsFailed = "Get records failed.";
const char* const kSaved = "Data has been saved!";
const char* const kPartlySavedFormat = "Only %d of %d records have been saved!";
const char* const kCannotCreate = "can not create file!";
const char* const kCannotWrite = "can not write file!";

void ShowPartlySaved(Feedback& ui, const ExportResult& result) {
    ui.ShowMessage(FormatText(kPartlySavedFormat, result.rows, result.total), Feedback::Buttons::Ok);
}

}  // namespace

ExportResult ExportRecords(Feedback& ui, PortHandle port, const std::filesystem::path& dir, RecordWriter& writer) {
    ExportResult result;
    const LocalTime started = SystemClock().now();

    // The status byte is not examined: the count is taken as the reader gave it.
    const CountResult count = ReadRecordCount(port);
    if (count.outcome == Outcome::TransactionFailed) {
        ui.AppendLog(kCountFailed);
        result.outcome = Outcome::TransactionFailed;
        return result;
    }
    result.total = static_cast<int32_t>(count.count);
    if (result.total == 0) {
        ui.AppendLog(kCountZero);
        return result;
    }

    // Stopped while the count was on its way: no file is better than an empty one.
    if (ui.StopRequested()) {
        ShowPartlySaved(ui, result);
        result.outcome = Outcome::Stopped;
        return result;
    }

    ExportFile file;
    if (!file.Claim(dir, started, writer.NameEnding(result.total))) {
        ui.ShowMessage(kCannotCreate, Feedback::Buttons::Ok);
        result.outcome = Outcome::FileFailed;
        return result;
    }
    result.file = file.Path();

    const bool begun = writer.Begin(file);
    BlocksEnd end = BlocksEnd::Rejected;
    if (begun) {
        end = ReadRecordBlocks(
            ui, port, result.total,
            [&](const TagRecord& record) {
                if (!writer.Add(result.rows + 1, record, DecodeTagRecord(record))) return false;
                ++result.rows;
                return true;
            },
            [&] { writer.EndBlock(); });
    }
    // A format that holds rows until the end writes them now, whatever
    // stopped the export; then the rows go to the disk before any message
    // speaks of them.
    const bool finished = writer.Finish();
    const bool kept = end != BlocksEnd::Rejected && finished && file.Sync();
    const bool closed = file.Close();
    result.written = file.Written();
    // A file that never got its first byte is no export: leave nothing behind.
    std::error_code error;
    if (!begun && result.written.size == 0 && std::filesystem::remove(result.file, error)) result.file.clear();

    if (!kept || !closed) {
        ui.ShowMessage(kCannotWrite, Feedback::Buttons::Ok);
        result.outcome = Outcome::FileFailed;
        return result;
    }
    switch (end) {
    case BlocksEnd::Failed:
        ui.AppendLog(kRecordsFailed);
        ShowPartlySaved(ui, result);
        result.outcome = Outcome::TransactionFailed;
        break;
    case BlocksEnd::Stopped:
        ShowPartlySaved(ui, result);
        result.outcome = Outcome::Stopped;
        break;
    case BlocksEnd::Done:
    case BlocksEnd::Rejected:  // a row that could not be written: not kept, answered above
        ui.ShowMessage(kSaved, Feedback::Buttons::Ok);
        break;
    }
    return result;
}

ExportResult ExportCsv(Feedback& ui, PortHandle port, const std::filesystem::path& dir) {
    CsvWriter writer;
    return ExportRecords(ui, port, dir, writer);
}
