#include "watch/verified_clear.h"

#include <optional>
#include <string>

#include "link/utf8_path.h"
#include "ops/format_text.h"
#include "ops/housekeeping.h"
#include "ops/second_reading.h"

namespace {

const char* const kNotDeleted = "not deleting the reader's records: ";
const char* const kIncomplete = "the export did not save every record";
const char* const kRowsFormat = " (%d rows of the %d counted)";
const char* const kReadBackDiffers = "the file read back from the disk is not what was written";
const char* const kSecondReadingDiffers = "row %d differs in a second reading of the reader: run the export again";
const char* const kSecondReadingFailed = "the reader did not answer a second reading";
const char* const kCountFailed = "the reader did not answer a fresh count";
const char* const kCountChanged = "the reader now counts %u records, not the %d exported";
const char* const kInterrupted = "interrupted";
const char* const kDone = "%d records saved in %s and deleted from the reader";
const char* const kDeleteUnconfirmed =
    "%s is complete, but the reader may still hold records: %s";
const char* const kDeleteFailed = "the delete failed";
const char* const kStillCounts = "it still counts %u after the delete";

DownloadStatus Refuse(DownloadFeedback& ui, const std::string& why) {
    ui.Say(kNotDeleted + why);
    return DownloadStatus::Failed;
}

DownloadStatus Interrupted(DownloadFeedback& ui) {
    ui.Say(kNotDeleted + std::string(kInterrupted));
    return DownloadStatus::Stopped;
}

// Why a result that is not Ok leaves the reader's state unknown.
std::string Why(const OpResult& result, const char* failed) {
    return result.outcome == Outcome::Refused ? RefusalText(result) : failed;
}

}  // namespace

bool KeepingWriter::Add(int index, const TagRecord& record, const DecodedTag& tag) {
    if (!format_.Add(index, record, tag)) return false;
    records_.push_back(record);
    return true;
}

DownloadStatus ClearAfterExport(DownloadFeedback& ui, PortHandle port, const ExportResult& result,
                                const std::vector<TagRecord>& exported) {
    const std::string file = Utf8FromPath(result.file.lexically_normal());
    if (!result.Ok() || result.rows != result.total)
        return Refuse(ui, kIncomplete + (result.file.empty() ? std::string() : FormatText(kRowsFormat, result.rows, result.total)));
    if (DigestOfFile(result.file) != result.written) return Refuse(ui, kReadBackDiffers);

    SecondReading again = ReadAgainAndCompare(ui, port, exported);
    ui.EndProgress();
    if (again.outcome == Outcome::Stopped) return Interrupted(ui);
    if (again.outcome == Outcome::Differs) return Refuse(ui, FormatText(kSecondReadingDiffers, again.differingRow));
    if (!again.Ok()) return Refuse(ui, kSecondReadingFailed);

    CountResult count = CountRecords(ui, port);
    if (!count.Ok()) return Refuse(ui, Why(count, kCountFailed));
    if (count.count != static_cast<uint32_t>(result.total))
        return Refuse(ui, FormatText(kCountChanged, count.count, result.total));
    if (ui.StopRequested()) return Interrupted(ui);

    // --delete, required to get here, answers the question.
    const DeleteResult deleted = DeleteAndAwait(ui, port);
    if (!deleted.Ok()) {
        ui.Say(FormatText(kDeleteUnconfirmed, file.c_str(), Why(deleted, kDeleteFailed).c_str()));
        return DownloadStatus::Failed;
    }
    CountResult after = CountRecords(ui, port);
    if (!after.Ok() || after.count != 0) {
        std::string why = after.Ok() ? FormatText(kStillCounts, after.count) : Why(after, kCountFailed);
        ui.Say(FormatText(kDeleteUnconfirmed, file.c_str(), why.c_str()));
        return DownloadStatus::Failed;
    }
    ui.Say(FormatText(kDone, result.rows, file.c_str()));
    return DownloadStatus::Ok;
}
