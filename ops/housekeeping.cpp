#include "ops/housekeeping.h"

#include <cstdint>
#include <span>

#include "ops/integer_field.h"
#include "ops/state.h"
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
    ResponseBuffer response{};
    if (!Transact(port, CMD_GET_RECORD_COUNT, {}, response) || !Carries(response, kPayload + 3))
        return {{Outcome::TransactionFailed}};
    return {StatusOf(response), GetBigEndian32(&response[kPayload])};
}

CountResult CountRecords(Feedback& ui, PortHandle port) {
    CountResult result = ReadRecordCount(port);
    ui.AppendLog(result.outcome == Outcome::TransactionFailed ? kGetCntFailed : kGetCntSuccess);
    return result;
}

OpResult DeleteAllRecords(Feedback& ui, PortHandle port, bool confirmed) {
    if (!confirmed) return {Outcome::Declined};
    ResponseBuffer response{};
    if (!Transact(port, CMD_DELETE_RECORDS, {}, response)) {
        ui.AppendLog(kDeleteFailed);
        return {Outcome::TransactionFailed};
    }
    ui.AppendLog(kPleaseWait);
    ui.PullFields();
    ui.ShowWaitCursor(true);
    SystemClock().sleep(kDeleteWaitMs);
    ui.AppendLog(kDeleted);
    ui.ShowWaitCursor(false);
    return StatusOf(response);
}

OpResult SyncClock(Feedback& ui, PortHandle port, const LocalTime& now) {
    const uint8_t data[] = {
        static_cast<uint8_t>(now.year - 2000), static_cast<uint8_t>(now.month),  static_cast<uint8_t>(now.day),
        static_cast<uint8_t>(now.hour),        static_cast<uint8_t>(now.minute), static_cast<uint8_t>(now.second),
    };
    ResponseBuffer response{};
    if (!Transact(port, CMD_SET_TIME, data, response)) {
        ui.AppendLog(kSyncFailed);
        return {Outcome::TransactionFailed};
    }
    ui.AppendLog(kSyncSuccess);
    return StatusOf(response);
}

OpResult SetPowerDown(Feedback& ui, PortHandle port, int minutes) {
    if (!PowerDownInRange(minutes)) {
        ui.AppendLog(kParamsError);
        return {Outcome::BadField};
    }
    ResponseBuffer response{};
    if (!Transact(port, CMD_GET_PARAMS, {}, response) || !Carries(response, kPayload + 3)) {
        ui.AppendLog(kGetParamsFailed);
        return {Outcome::TransactionFailed};
    }
    // The first three bytes mean nothing to us; the reader gets them back untouched.
    uint8_t params[4] = {response[kPayload], response[kPayload + 1], response[kPayload + 2], 0};
    params[kPowerDownByte] = static_cast<uint8_t>(minutes);

    const OpResult set = Accepted(port, CMD_SET_PARAMS, params);
    ui.AppendLog(set.Ok() ? kSetPowerDownOk : kSetPowerDownFailed);
    return set;
}

PowerDownResult GetPowerDown(Feedback& ui, PortHandle port) {
    ResponseBuffer response{};
    if (!Transact(port, CMD_GET_PARAMS, {}, response) || !Carries(response, kPayload + 3)) {
        ui.AppendLog(kGetParamsFailed);
        return {{Outcome::TransactionFailed}};
    }
    ui.AppendLog(kGetParamsOk);
    return {StatusOf(response), response[kPayload + kPowerDownByte]};
}

CountResult OnBnClickedGetCnt(Feedback& ui) {
    CountResult result = CountRecords(ui, g_hComm);
    if (result.outcome == Outcome::TransactionFailed) return result;
    // The field is a signed int: counts of 2^31 and above show negative.
    ui.m_nRecordCount = static_cast<int32_t>(result.count);
    ui.PushFields();
    return result;
}

OpResult OnBnClickedDeleteAll(Feedback& ui) {
    // The records are often the only copy of a day's work, and the button
    // sits beside "Get Data": nothing is sent until the user says yes.
    return DeleteAllRecords(ui, g_hComm, ui.ShowMessage(kConfirmDelete, Feedback::Buttons::YesNo));
}

OpResult OnBnClickedSyncTime(Feedback& ui) { return SyncClock(ui, g_hComm, SystemClock().now()); }

OpResult OnBnClickedSetPowerDown(Feedback& ui) {
    // A value out of range has already shown its own message here.
    ui.PullFields();
    return SetPowerDown(ui, g_hComm, ui.m_nPowerDownMin);
}

PowerDownResult OnBnClickedGetPowerDown(Feedback& ui) {
    PowerDownResult result = GetPowerDown(ui, g_hComm);
    if (result.outcome != Outcome::TransactionFailed) ui.m_nPowerDownMin = result.minutes;
    ui.PushFields();
    return result;
}
