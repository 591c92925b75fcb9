#include "cli/verified_clear.h"

#include <optional>
#include <string>

#include "cli/exit_codes.h"
#include "link/utf8_path.h"
#include "ops/format_text.h"
#include "ops/housekeeping.h"

namespace {

const char* const kNotDeleted = "not deleting the reader's records: ";
const char* const kIncomplete = "the export did not save every record";
const char* const kRowsFormat = " (%d rows of the %d counted)";
const char* const kReadBackDiffers = "the file read back from the disk is not what was written";
const char* const kCountFailed = "the reader did not answer a fresh count";
const char* const kCountChanged = "the reader now counts %u records, not the %d exported";
const char* const kInterrupted = "interrupted";
const char* const kDone = "%d records saved in %s and deleted from the reader";
const char* const kDeleteUnconfirmed =
    "%s is complete, but the reader may still hold records: %s";
const char* const kDeleteFailed = "the delete failed";
const char* const kStillCounts = "it still counts %u after the delete";

const char* const kCountOk = "Get records cnt success.";
const char* const kDeleteOk = "All records has been Deleted.";

// The reader's count now, through the "Get Cnt" operation.
std::optional<uint32_t> FreshCount(CliFeedback& ui) {
    ui.log.clear();
    OnBnClickedGetCnt(ui);
    if (!ui.Logged(kCountOk)) return std::nullopt;
    return static_cast<uint32_t>(ui.m_nRecordCount);
}

int Refuse(CliFeedback& ui, const std::string& why) {
    ui.Say(kNotDeleted + why);
    return kExitFailed;
}

}  // namespace

int ClearAfterExport(CliFeedback& ui, const ExportResult& result) {
    const std::string file = Utf8FromPath(result.file.lexically_normal());
    if (result.status != ExportStatus::Saved || result.rows != result.total)
        return Refuse(ui, kIncomplete + (result.file.empty() ? std::string() : FormatText(kRowsFormat, result.rows, result.total)));
    if (DigestOfFile(result.file) != result.written) return Refuse(ui, kReadBackDiffers);
    std::optional<uint32_t> count = FreshCount(ui);
    if (!count) return Refuse(ui, kCountFailed);
    if (*count != static_cast<uint32_t>(result.total))
        return Refuse(ui, FormatText(kCountChanged, *count, result.total));
    if (ui.StopRequested()) {
        ui.Say(kNotDeleted + std::string(kInterrupted));
        return kExitInterrupted;
    }

    // --delete, required to get here, answers the question.
    ui.assumeYes = true;
    ui.log.clear();
    OnBnClickedDeleteAll(ui);
    if (!ui.Logged(kDeleteOk)) {
        ui.Say(FormatText(kDeleteUnconfirmed, file.c_str(), kDeleteFailed));
        return kExitFailed;
    }
    count = FreshCount(ui);
    if (count != 0u) {
        std::string why = count ? FormatText(kStillCounts, *count) : std::string(kCountFailed);
        ui.Say(FormatText(kDeleteUnconfirmed, file.c_str(), why.c_str()));
        return kExitFailed;
    }
    ui.Say(FormatText(kDone, result.rows, file.c_str()));
    return kExitOk;
}
