#include "ops/connection.h"

#include <cstdio>

#include "link/protocol.h"
#include "ops/state.h"

namespace {

const char* const kOpenFailed = "CommPort open failed!";
const char* const kOpenSuccess = "CommPort open success!";
const char* const kReaderFailed = "Connect reader failed!";
const char* const kVersionFormat = "Reader firmvare version:%u.%u";
const char* const kCaptionConnect = "Connect";
const char* const kCaptionDisconnect = "Discon";

// Response byte 2 counts the status byte and the two version bytes.
constexpr size_t kVersionAnswerLength = 1 + 2;

void Connect(Feedback& ui) {
    if (OpenCommPort(g_hComm, ui.SelectedPort()) != 0) {
        ui.AppendLog(kOpenFailed);
        ClosePort(g_hComm);
        g_bConnected = false;
        return;
    }
    ui.AppendLog(kOpenSuccess);

    std::vector<uint8_t> request = BuildRequest(CMD_GET_VERSION);
    ResponseBuffer response{};
    // An answer too short to carry a version proves no reader: showing the
    // zeroed buffer would report a version nobody sent.
    if (SendCommand(g_hComm, request.data(), request.size(), response) != 0 ||
        response[2] < kVersionAnswerLength) {
        ui.AppendLog(kReaderFailed);
        ClosePort(g_hComm);
        return;
    }
    char line[64];
    std::snprintf(line, sizeof line, kVersionFormat, unsigned{response[4]}, unsigned{response[5]});
    ui.AppendLog(line);

    ui.SetConnectCaption(kCaptionDisconnect);
    g_bConnected = true;
    ui.EnableUpgrade(true);
}

void Disconnect(Feedback& ui) {
    ClosePort(g_hComm);
    ui.SetConnectCaption(kCaptionConnect);
    ui.EnableUpgrade(false);
    g_bConnected = false;
}

}  // namespace

void OnBnClickedConnect(Feedback& ui) {
    if (g_bConnected)
        Disconnect(ui);
    else
        Connect(ui);
}
