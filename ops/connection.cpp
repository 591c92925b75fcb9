#include "ops/connection.h"

#include "ops/format_text.h"
#include "ops/state.h"
#include "ops/transaction.h"

namespace {

const char* const kOpenFailed = "CommPort open failed!";
const char* const kOpenSuccess = "CommPort open success!";
const char* const kReaderFailed = "Connect reader failed!";
const char* const kVersionFormat = "Reader firmvare version:%u.%u";
const char* const kFirmwareFormat = "%u.%u";
const char* const kCaptionConnect = "Connect";
const char* const kCaptionDisconnect = "Discon";

// Where the answer carries its status and the version.
constexpr size_t kStatusByte = 3;
constexpr size_t kMajorByte = 4;
constexpr size_t kMinorByte = 5;

}  // namespace

OpResult ConnectResult::VersionAnswer() const {
    if (versionStatus == 0) return {};
    return {Outcome::Refused, versionStatus};
}

ConnectResult ConnectReader(Feedback& ui, const std::string& port) {
    ConnectResult result;
    result.open = OpenPort(g_hComm, port);
    if (!result.open.Opened()) {
        ui.AppendLog(kOpenFailed);
        ClosePort(g_hComm);
        g_bConnected = false;
        result.outcome = Outcome::PortFailed;
        return result;
    }
    ui.AppendLog(kOpenSuccess);

    ResponseBuffer response{};
    size_t received = 0;
    // An answer too short to carry a version proves no reader: showing the
    // zeroed buffer would report a version nobody sent.
    if (!Transact(g_hComm, CMD_GET_VERSION, {}, response, received) ||
        !Carries(response, kMinorByte)) {
        ui.AppendLog(kReaderFailed);
        ClosePort(g_hComm);
        result.outcome = Outcome::TransactionFailed;
        result.reply = received == 0 ? ReaderReply::Silence : ReaderReply::Foreign;
        return result;
    }
    result.major = response[kMajorByte];
    result.minor = response[kMinorByte];
    result.versionStatus = response[kStatusByte];
    ui.AppendLog(FormatText(kVersionFormat, result.major, result.minor));

    ui.SetConnectCaption(kCaptionDisconnect);
    g_bConnected = true;
    ui.EnableUpgrade(true);
    result.connected = true;
    return result;
}

void DisconnectReader(Feedback& ui) {
    ClosePort(g_hComm);
    ui.SetConnectCaption(kCaptionConnect);
    ui.EnableUpgrade(false);
    g_bConnected = false;
}

ConnectResult OnBnClickedConnect(Feedback& ui) {
    if (!g_bConnected) return ConnectReader(ui, ui.SelectedPort());
    DisconnectReader(ui);
    return {};
}

std::string FirmwareText(unsigned major, unsigned minor) { return FormatText(kFirmwareFormat, major, minor); }
