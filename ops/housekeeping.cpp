#include "ops/housekeeping.h"

#include <cstdint>
#include <span>

#include "ops/integer_field.h"
#include "ops/transaction.h"

namespace {

const char* const kGetCntFailed = "Get records cnt failed.";
const char* const kGetCntSuccess = "Get records cnt success.";
const char* const kConfirmDelete = "Delete all records stored in the reader? This cannot be undone.";
const char* const kDeleteFailed = "Delete records failed.";
const char* const kPleaseWait = "Please wait...";
const char* const kDeleted = "All records has been Deleted.";
const char* const kSyncSuccess = "Sync time success.";
const char* const kSyncFailed = "Sync time failed.";
const char* const kParamsError = "Params error.";
const char* const kGetParamsFailed = "Get params Failed.";
const char* const kGetParamsOk = "Get params OK.";
const char* const kSetPowerDownFailed = "Set Power down time Failed.";
const char* const kSetPowerDownOk = "Set Power down time Ok.";

constexpr unsigned kDeleteWaitMs = 200;

// Response offset of the payload.
constexpr size_t kPayload = 4;
constexpr size_t kPowerDownByte = 3;  // within the parameter block

}  // namespace

CountResult ReadRecordCount(PortHandle port) {
    const Answer answer = Transact(port, CMD_GET_RECORD_COUNT);
    if (!answer.complete || !answer.Carries(kPayload + 3)) return {{Outcome::TransactionFailed}};
    return {answer.Status(), GetBigEndian32(&answer.bytes[kPayload])};
}

CountResult CountRecords(Feedback& ui, PortHandle port) {
    CountResult result = ReadRecordCount(port);
    ui.AppendLog(result.outcome == Outcome::TransactionFailed ? kGetCntFailed : kGetCntSuccess);
    return result;
}

// The records are often the only copy of a day's work, and the button
// sits beside "Get Data": nothing is sent until the user says yes.
bool ConfirmDelete(Feedback& ui) { return ui.ShowMessage(kConfirmDelete, Feedback::Buttons::YesNo); }

DeleteResult DeleteAllRecords(Feedback& ui, PortHandle port, bool confirmed) {
    if (!confirmed) return {{Outcome::Declined}};
    const Answer answer = Transact(port, CMD_DELETE_RECORDS);
    if (!answer.complete) {
        ui.AppendLog(kDeleteFailed);
        return {{Outcome::TransactionFailed}};
    }
    ui.AppendLog(kPleaseWait);
    return {answer.Status(), true};
}

void AwaitDeletion(Feedback& ui) {
    SystemClock().sleep(kDeleteWaitMs);
    ui.AppendLog(kDeleted);
}

DeleteResult DeleteAndAwait(Feedback& ui, PortHandle port) {
    const DeleteResult result = DeleteAllRecords(ui, port, true);
    if (result.sent) AwaitDeletion(ui);
    return result;
}

OpResult SyncClock(Feedback& ui, PortHandle port, const LocalTime& now) {
    const uint8_t data[] = {
        static_cast<uint8_t>(now.year - 2000), static_cast<uint8_t>(now.month),  static_cast<uint8_t>(now.day),
        static_cast<uint8_t>(now.hour),        static_cast<uint8_t>(now.minute), static_cast<uint8_t>(now.second),
    };
    const Answer answer = Transact(port, CMD_SET_TIME, data);
    if (!answer.complete) {
        ui.AppendLog(kSyncFailed);
        return {Outcome::TransactionFailed};
    }
    ui.AppendLog(kSyncSuccess);
    return answer.Status();
}

OpResult SetPowerDown(Feedback& ui, PortHandle port, int minutes) {
    if (!PowerDownInRange(minutes)) {
        ui.AppendLog(kParamsError);
        return {Outcome::BadField};
    }
    const Answer params = Transact(port, CMD_GET_PARAMS);
    if (!params.complete || !params.Carries(kPayload + 3)) {
        ui.AppendLog(kGetParamsFailed);
        return {Outcome::TransactionFailed};
    }
    // The first three bytes mean nothing to us; the reader gets them back untouched.
    uint8_t block[4] = {params.bytes[kPayload], params.bytes[kPayload + 1], params.bytes[kPayload + 2], 0};
    block[kPowerDownByte] = static_cast<uint8_t>(minutes);

    const OpResult set = Accepted(port, CMD_SET_PARAMS, block);
    ui.AppendLog(set.Ok() ? kSetPowerDownOk : kSetPowerDownFailed);
    return set;
}

PowerDownResult GetPowerDown(Feedback& ui, PortHandle port) {
    const Answer params = Transact(port, CMD_GET_PARAMS);
    if (!params.complete || !params.Carries(kPayload + 3)) {
        ui.AppendLog(kGetParamsFailed);
        return {{Outcome::TransactionFailed}};
    }
    ui.AppendLog(kGetParamsOk);
    return {params.Status(), params.bytes[kPayload + kPowerDownByte]};
}
