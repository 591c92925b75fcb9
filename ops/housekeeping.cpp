#include "ops/housekeeping.h"

#include <cstdint>
#include <span>
#include <vector>

#include "ops/clock.h"
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
constexpr int kPowerDownMin = 1;
constexpr int kPowerDownMax = 60;

// Response offset of the payload.
constexpr size_t kPayload = 4;
constexpr size_t kPowerDownByte = 3;  // within the parameter block

}  // namespace

CountResult OnBnClickedGetCnt(Feedback& ui) {
    ResponseBuffer response{};
    if (!Transact(CMD_GET_RECORD_COUNT, {}, response) || !Carries(response, kPayload + 3)) {
        ui.AppendLog(kGetCntFailed);
        return {{Outcome::TransactionFailed}};
    }
    const uint32_t count = GetBigEndian32(&response[kPayload]);
    // The field is a signed int: counts of 2^31 and above show negative.
    ui.m_nRecordCount = static_cast<int32_t>(count);
    ui.AppendLog(kGetCntSuccess);
    ui.PushFields();
    return {StatusOf(response), count};
}

OpResult OnBnClickedDeleteAll(Feedback& ui) {
    // The records are often the only copy of a day's work, and the button
    // sits beside "Get Data": nothing is sent until the user says yes.
    if (!ui.ShowMessage(kConfirmDelete, Feedback::Buttons::YesNo)) return {Outcome::Declined};
    ResponseBuffer response{};
    if (!Transact(CMD_DELETE_RECORDS, {}, response)) {
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

OpResult OnBnClickedSyncTime(Feedback& ui) {
    const LocalTime now = SystemClock().now();
    const uint8_t data[] = {
        static_cast<uint8_t>(now.year - 2000), static_cast<uint8_t>(now.month),  static_cast<uint8_t>(now.day),
        static_cast<uint8_t>(now.hour),        static_cast<uint8_t>(now.minute), static_cast<uint8_t>(now.second),
    };
    ResponseBuffer response{};
    if (!Transact(CMD_SET_TIME, data, response)) {
        ui.AppendLog(kSyncFailed);
        return {Outcome::TransactionFailed};
    }
    ui.AppendLog(kSyncSuccess);
    return StatusOf(response);
}

OpResult OnBnClickedSetPowerDown(Feedback& ui) {
    // A value out of range has already shown its own message here.
    ui.PullFields();
    if (ui.m_nPowerDownMin < kPowerDownMin || ui.m_nPowerDownMin > kPowerDownMax) {
        ui.AppendLog(kParamsError);
        return {Outcome::BadField};
    }

    ResponseBuffer response{};
    if (!Transact(CMD_GET_PARAMS, {}, response) || !Carries(response, kPayload + 3)) {
        ui.AppendLog(kGetParamsFailed);
        return {Outcome::TransactionFailed};
    }
    // The first three bytes mean nothing to us; the reader gets them back untouched.
    uint8_t params[4] = {response[kPayload], response[kPayload + 1], response[kPayload + 2], 0};
    params[kPowerDownByte] = static_cast<uint8_t>(ui.m_nPowerDownMin);

    const OpResult set = Accepted(CMD_SET_PARAMS, params);
    ui.AppendLog(set.Ok() ? kSetPowerDownOk : kSetPowerDownFailed);
    return set;
}

PowerDownResult OnBnClickedGetPowerDown(Feedback& ui) {
    ResponseBuffer response{};
    PowerDownResult result{{Outcome::TransactionFailed}};
    if (Transact(CMD_GET_PARAMS, {}, response) && Carries(response, kPayload + 3)) {
        ui.m_nPowerDownMin = response[kPayload + kPowerDownByte];
        ui.AppendLog(kGetParamsOk);
        result = {StatusOf(response), ui.m_nPowerDownMin};
    } else {
        ui.AppendLog(kGetParamsFailed);
    }
    ui.PushFields();
    return result;
}
