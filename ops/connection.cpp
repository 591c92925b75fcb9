#include "ops/connection.h"

#include "ops/format_text.h"
#include "ops/transaction.h"

namespace {

const char* const kOpenFailed = "CommPort open failed!";
const char* const kOpenSuccess = "CommPort open success!";
const char* const kReaderFailed = "Connect reader failed!";
const char* const kVersionLine = "Reader firmvare version:";
const char* const kFirmwareFormat = "%u.%u";

// Where the answer carries its status and the version.
constexpr size_t kStatusByte = 3;
constexpr size_t kMajorByte = 4;
constexpr size_t kMinorByte = 5;

}  // namespace

OpResult ConnectResult::VersionAnswer() const {
    if (versionStatus == 0) return {};
    return {Outcome::Refused, versionStatus};
}

ConnectResult ConnectReader(Feedback& ui, const std::string& port, PortHandle& handle) {
    ConnectResult result;
    result.open = OpenPort(handle, port);
    if (!result.open.Opened()) {
        ui.AppendLog(kOpenFailed);
        ClosePort(handle);
        result.outcome = Outcome::PortFailed;
        return result;
    }
    ui.AppendLog(kOpenSuccess);

    // An answer too short to carry a version proves no reader: showing the
    // zeroed buffer would report a version nobody sent.
    const Answer answer = Transact(handle, CMD_GET_VERSION);
    if (!answer.complete || !answer.Carries(kMinorByte)) {
        ui.AppendLog(kReaderFailed);
        ClosePort(handle);
        result.outcome = Outcome::TransactionFailed;
        result.reply = answer.received == 0 ? ReaderReply::Silence : ReaderReply::Foreign;
        return result;
    }
    result.major = answer.bytes[kMajorByte];
    result.minor = answer.bytes[kMinorByte];
    result.versionStatus = answer.bytes[kStatusByte];
    ui.AppendLog(kVersionLine + FirmwareText(result.major, result.minor));
    result.connected = true;
    return result;
}

void DisconnectReader(PortHandle& handle) { ClosePort(handle); }

std::string FirmwareText(unsigned major, unsigned minor) { return FormatText(kFirmwareFormat, major, minor); }
