#include "ops/connection.h"

#include "ops/format_text.h"
#include "ops/state.h"
#include "ops/transaction.h"

namespace {

const char* const kOpenFailed = "CommPort open failed!";
const char* const kOpenSuccess = "CommPort open success!";
const char* const kReaderFailed = "Connect reader failed!";
const char* const kVersionFormat = "Reader firmvare version:%u.%u";
const char* const kCaptionConnect = "Connect";
const char* const kCaptionDisconnect = "Discon";

// Where the answer carries the version.
constexpr size_t kMajorByte = 4;
constexpr size_t kMinorByte = 5;

ConnectResult Connect(Feedback& ui) {
    if (OpenStatus open = OpenPort(g_hComm, ui.SelectedPort()); !open.Opened()) {
        ui.AppendLog(kOpenFailed);
        ClosePort(g_hComm);
        g_bConnected = false;
        return {{Outcome::PortFailed}, false, 0, 0, open};
    }
    ui.AppendLog(kOpenSuccess);

    ResponseBuffer response{};
    // An answer too short to carry a version proves no reader: showing the
    // zeroed buffer would report a version nobody sent.
    if (!Transact(CMD_GET_VERSION, {}, response) || !Carries(response, kMinorByte)) {
        ui.AppendLog(kReaderFailed);
        ClosePort(g_hComm);
        return {{Outcome::TransactionFailed}};
    }
    const unsigned major = response[kMajorByte];
    const unsigned minor = response[kMinorByte];
    ui.AppendLog(FormatText(kVersionFormat, major, minor));

    ui.SetConnectCaption(kCaptionDisconnect);
    g_bConnected = true;
    ui.EnableUpgrade(true);
    return {StatusOf(response), true, major, minor};
}

ConnectResult Disconnect(Feedback& ui) {
    ClosePort(g_hComm);
    ui.SetConnectCaption(kCaptionConnect);
    ui.EnableUpgrade(false);
    g_bConnected = false;
    return {};
}

}  // namespace

ConnectResult OnBnClickedConnect(Feedback& ui) { return g_bConnected ? Disconnect(ui) : Connect(ui); }
