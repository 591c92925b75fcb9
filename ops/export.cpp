#include "ops/export.h"

#include <algorithm>
#include <system_error>

#include "ops/clock.h"
#include "ops/csv_writer.h"
#include "ops/format_text.h"
#include "ops/state.h"
#include "ops/tag_record.h"
#include "ops/transaction.h"

namespace {

const char* const kCountFailed = "Get records cnt failed.";
const char* const kCountZero = "Records cnt is 0.";
const char* const kRecordsFailed = "Get records failed.";
const char* const kSaved = "Data has been saved!";
const char* const kPartlySavedFormat = "Only %d of %d records have been saved!";
const char* const kCannotCreate = "can not create file!";
const char* const kCannotWrite = "can not write file!";

// Failed attempts in a row at one start index before the export gives up.
constexpr int kMaxBlockFailures = 3;
constexpr size_t kCountLastByte = 3 + 4;  // the count fills response bytes 4 to 7
// Response byte 2 counts the bytes after the header: the status byte, then the payload.
constexpr size_t kBlockAnswerHead = 1 + 1;  // status, record count
constexpr size_t kRecordsOffset = 3 + kBlockAnswerHead;

enum class CopyEnd { Done, WriteFailed, RequestsFailed, Stopped };

// Reads the reader's record count into `count`. False when the request
// failed or the answer was too short to hold a count.
bool FetchCount(int32_t& count) {
    ResponseBuffer response{};
    if (!Transact(CMD_GET_RECORD_COUNT, {}, response) || !Carries(response, kCountLastByte)) return false;
    count = static_cast<int32_t>(GetBigEndian32(&response[4]));
    return true;
}

// The number of records a block request at `start` brought into `response`,
// or -1 when the attempt failed. A count byte that claims more records than
// the answer carries fails the attempt: nothing past the bytes received is
// ever read. (At most 15 whole records fit in one answer.)
int FetchBlock(int64_t start, ResponseBuffer& response) {
    uint8_t data[5];
    PutBigEndian32(data, static_cast<uint32_t>(start));
    data[4] = kRecordsPerRequest;
    if (!Transact(CMD_GET_RECORDS, data, response)) return -1;
    const size_t received = response[2];
    if (received < kBlockAnswerHead) return -1;
    const size_t carried = (received - kBlockAnswerHead) / kTagRecordSize;
    if (response[4] > carried) return -1;
    return response[4];
}

// Fetches blocks from index 0 until the total is reached or a block comes
// back empty, writing one row per record; `rows` counts the rows written.
CopyEnd CopyRecords(Feedback& ui, RecordWriter& writer, int& rows) {
    ResponseBuffer response{};
    int64_t start = 0;
    int failures = 0;
    do {
        if (ui.StopRequested()) return CopyEnd::Stopped;
        const int count = FetchBlock(start, response);
        if (count < 0) {
            if (++failures == kMaxBlockFailures) return CopyEnd::RequestsFailed;
            continue;
        }
        failures = 0;
        if (count == 0) break;
        for (int i = 0; i < count; ++i) {
            TagRecord record;
            std::copy_n(response.begin() + kRecordsOffset + i * kTagRecordSize, kTagRecordSize, record.begin());
            if (!writer.Add(rows + 1, record, DecodeTagRecord(record))) return CopyEnd::WriteFailed;
            ++rows;
        }
        start += count;
        ui.ShowRecordsFetched(start, g_nRecordTotal);
    } while (start < g_nRecordTotal);
    // A negative total allows one attempt only; if that failed, nothing was saved.
    return failures > 0 ? CopyEnd::RequestsFailed : CopyEnd::Done;
}

void ShowPartlySaved(Feedback& ui, const ExportResult& result) {
    ui.ShowMessage(FormatText(kPartlySavedFormat, result.rows, result.total), Feedback::Buttons::Ok);
}

}  // namespace

ExportResult ExportRecords(Feedback& ui, const std::filesystem::path& dir, RecordWriter& writer) {
    ExportResult result;
    const LocalTime started = SystemClock().now();

    if (!FetchCount(g_nRecordTotal)) {
        ui.AppendLog(kCountFailed);
        return result;
    }
    result.total = g_nRecordTotal;
    if (g_nRecordTotal == 0) {
        ui.AppendLog(kCountZero);
        result.status = ExportStatus::NoRecords;
        return result;
    }

    // Stopped while the count was on its way: no file is better than an empty one.
    if (ui.StopRequested()) {
        ShowPartlySaved(ui, result);
        result.status = ExportStatus::Interrupted;
        return result;
    }

    ExportFile file;
    if (!file.Claim(dir, started, writer.Extension())) {
        ui.ShowMessage(kCannotCreate, Feedback::Buttons::Ok);
        result.status = ExportStatus::CannotCreate;
        return result;
    }
    result.file = file.Path();

    CopyEnd end = writer.Begin(file) ? CopyRecords(ui, writer, result.rows) : CopyEnd::WriteFailed;
    // A format that holds rows until the end writes them now, whatever stopped the export.
    if (!writer.Finish()) end = CopyEnd::WriteFailed;
    // Saved means on the disk: the data and the file's name.
    if (end == CopyEnd::Done && !file.Sync()) end = CopyEnd::WriteFailed;
    if (!file.Close() && end == CopyEnd::Done) end = CopyEnd::WriteFailed;
    result.written = file.Written();

    switch (end) {
    case CopyEnd::WriteFailed:
        ui.ShowMessage(kCannotWrite, Feedback::Buttons::Ok);
        result.status = ExportStatus::CannotWrite;
        break;
    case CopyEnd::RequestsFailed:
        ui.AppendLog(kRecordsFailed);
        ShowPartlySaved(ui, result);
        result.status = ExportStatus::RecordsFailed;
        break;
    case CopyEnd::Stopped:
        ShowPartlySaved(ui, result);
        result.status = ExportStatus::Interrupted;
        break;
    case CopyEnd::Done:
        ui.ShowMessage(kSaved, Feedback::Buttons::Ok);
        result.status = ExportStatus::Saved;
        break;
    }
    return result;
}

ExportResult ExportRecords(Feedback& ui, const std::filesystem::path& dir) {
    CsvWriter writer;
    return ExportRecords(ui, dir, writer);
}

ExportResult ExportIntoWorkingFolder(Feedback& ui) {
    std::error_code error;
    // Should the working directory be gone, the bare name fails to open and says so.
    return ExportRecords(ui, std::filesystem::current_path(error));
}

void OnBnClickedGetData(Feedback& ui) { ExportIntoWorkingFolder(ui); }
