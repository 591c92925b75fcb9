// The buttons of the main window: each runs its operation, then sets what
// only the window shows from the operation's result. The process-wide
// state of the program (the port, the connection, the firmware image)
// lives here and is touched by these handlers alone.
#include <filesystem>
#include <string>
#include <system_error>

#include "book/book.h"
#include "formats/formats.h"
#include "link/com_port_name.h"
#include "link/utf.h"
#include "ops/connection.h"
#include "ops/csv_writer.h"
#include "ops/export.h"
#include "ops/export_folder.h"
#include "ops/housekeeping.h"
#include "ops/upgrade.h"
#include "ui/kavrin_dlg.h"

namespace {

PortHandle g_hComm = nullptr;
bool g_bConnected = false;

FirmwareFile g_firmwareFile;  // the image opened by "Browse"; closed when none

// The reader connected to, as the record book keeps each download's: COM3, 1.0.
std::string g_connectedPort;
std::string g_readerFirmware;

}  // namespace

void CKavrinDlg::OnBnClickedConnect() {
    if (g_bConnected) {
        DisconnectReader(g_hComm);
        g_bConnected = false;
    } else {
        const std::string port = SelectedPort();
        const ConnectResult result = ConnectReader(*this, port, g_hComm);
        g_bConnected = result.connected;
        g_connectedPort = NarrowFromWide(ComPortName(port));
        g_readerFirmware = FirmwareText(result.major, result.minor);
    }
    ShowConnected(g_bConnected);
}

void CKavrinDlg::OnBnClickedBrowse() {
    std::optional<std::string> path = ChooseFirmwareFile();
    if (!path) return;
    AddFirmwareFile(*path);
    g_firmwareFile.Close();
    g_firmwareFile = std::move(OpenFirmwareImage(*this, *path).image);
}

void CKavrinDlg::OnBnClickedUpgrade() {
    if (!ConfirmUpgrade(*this)) return;
    // A failed check has shown its own message; the upgrade goes on regardless.
    UpdateData(true);
    const UpgradeResult result = UpgradeFirmware(*this, g_hComm, g_firmwareFile, true);
    if (result.started) UpdateData(false);
    // A finished upgrade disconnects: the reader restarts on its new firmware.
    if (result.Ok()) OnBnClickedConnect();
}

// The CSV file in the current working directory, or where ExportFolder
// (export_folder.h) puts it when that cannot be written; the download kept
// in the record book too, unless the user turned that off. A book that
// could not keep it never costs the file: one more message then says what
// happened to the book, after the export's own.
void CKavrinDlg::OnBnClickedGetData() {
    std::error_code error;
    CsvWriter file;
    DownloadKeeping book(WindowBookChoice(), file,
                         {SystemClock().now(), g_connectedPort, g_readerFirmware, 0, {}, std::string(kDefaultRecordFormat)});
    // Should the working directory be gone, the bare name fails to open and says so.
    const ExportResult result =
        ExportRecords(*this, g_hComm, ExportFolder(std::filesystem::current_path(error)), book.Writer(file));
    if (!book.Finish(result) && !result.file.empty()) ShowMessage(book.Line(), Buttons::Ok);
}

void CKavrinDlg::OnBnClickedGetCnt() {
    const CountResult result = CountRecords(*this, g_hComm);
    if (result.outcome == Outcome::TransactionFailed) return;
    // The field is a signed int: counts of 2^31 and above show negative.
    m_nRecordCount = static_cast<int32_t>(result.count);
    UpdateData(false);
}

void CKavrinDlg::OnBnClickedDeleteAll() {
    if (!DeleteAllRecords(*this, g_hComm, ConfirmDelete(*this)).sent) return;
    // The check's result is not used: a bad field has shown its message, and the delete is done.
    UpdateData(true);
    ShowWaitCursor(true);
    AwaitDeletion(*this);
    ShowWaitCursor(false);
}

void CKavrinDlg::OnBnClickedSyncTime() { SyncClock(*this, g_hComm, SystemClock().now()); }

void CKavrinDlg::OnBnClickedSetPowerDown() {
    // A value out of range has already shown its own message here.
    UpdateData(true);
    SetPowerDown(*this, g_hComm, m_nPowerDownMin);
}

void CKavrinDlg::OnBnClickedGetPowerDown() {
    const PowerDownResult result = GetPowerDown(*this, g_hComm);
    if (result.outcome != Outcome::TransactionFailed) m_nPowerDownMin = result.minutes;
    UpdateData(false);
}
