// What the operations show, shown in the main window's controls.
#include "ui/kavrin_dlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "link/utf.h"
#include "ops/connection.h"

namespace {

// Written as the framework takes filters; '|' becomes the separator Windows wants.
const wchar_t* const kFirmwareFilter = L"BINARY FILE(*.bin)|*.bin||";
const wchar_t* const kFirmwareExtension = L"bin";
// Room for long paths, well past MAX_PATH.
const size_t kPathCapacity = 32768;

std::wstring ListEntry(HWND comboBox, LRESULT index) {
    LRESULT length = SendMessageW(comboBox, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = SendMessageW(comboBox, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length == CB_ERR ? 0 : static_cast<size_t>(length));
    return text;
}

}  // namespace

// Painted at once: a line such as "Please wait......." must show while the
// operation that logged it goes on, and no messages are handled until it ends.
void CKavrinDlg::AppendLog(const std::string& text) {
    SendMessageW(m_lbLog, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromNarrow(text).c_str()));
    UpdateWindow(m_lbLog);
}

void CKavrinDlg::ShowConnected(bool connected) {
    SetWindowTextW(m_btnConnect, WideFromNarrow(connected ? kDisconnectCaption : kConnectCaption).c_str());
    EnableWindow(m_btnUpgrade, connected);
}

// The chosen list entry; text typed into the list's edit field does not count.
std::string CKavrinDlg::SelectedPort() {
    LRESULT index = SendMessageW(m_cbPort, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? std::string() : NarrowFromWide(ListEntry(m_cbPort, index));
}

void CKavrinDlg::AddFirmwareFile(const std::string& path) {
    SendMessageW(m_cbFile, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromNarrow(path).c_str()));
    SendMessageW(m_cbFile, CB_SETCURSEL, 0, 0);
}

void CKavrinDlg::ShowProgress(Work work, long long done, long long total) {
    if (work != Work::Image || total <= 0) return;
    SendMessageW(m_progress, PBM_SETPOS, static_cast<WPARAM>(done * 100 / total), 0);
}

bool CKavrinDlg::ShowMessage(const std::string& text, Buttons buttons) {
    UINT type = MB_OK | MB_ICONEXCLAMATION;
    if (buttons == Buttons::OkCancel) type = MB_OKCANCEL | MB_ICONEXCLAMATION;
    // A question that destroys data: a slip of the Enter key must answer No.
    if (buttons == Buttons::YesNo) type = MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;
    int pressed = MessageBoxW(m_hWnd, WideFromNarrow(text).c_str(), kAppName, type);
    return pressed == IDOK || pressed == IDYES;
}

// No messages are handled while an operation runs, so setting the cursor
// once holds it; WM_SETCURSOR keeps it over the window should a message box
// run its own loop meanwhile.
void CKavrinDlg::ShowWaitCursor(bool on) {
    if (on == m_bWaitCursor) return;
    m_bWaitCursor = on;
    if (on)
        m_hCursorBeforeWait = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    else
        SetCursor(m_hCursorBeforeWait);
}

bool CKavrinDlg::OnSetCursor() {
    if (!m_bWaitCursor) return false;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TRUE);
    return true;
}

std::optional<std::string> CKavrinDlg::ChooseFirmwareFile() {
    std::wstring filter = kFirmwareFilter;
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    std::wstring path(kPathCapacity, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    // Owned by the window, so the window takes no clicks while it is open.
    dialog.hwndOwner = m_hWnd;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrDefExt = kFirmwareExtension;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    path.resize(path.find(L'\0'));
    return NarrowFromWide(path);
}
