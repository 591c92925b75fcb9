#include "ui/kavrin_dlg.h"

#include "link/utf.h"
#include "ops/integer_field.h"
#include "ui/port_probe.h"
#include "ui/resource.h"

namespace {

// The button map: which handler each button runs. A button that is not
// listed does nothing when clicked.
struct ButtonRoute {
    int controlId;
    void (CKavrinDlg::*handler)();
};

const ButtonRoute kButtonMap[] = {
    {IDC_CONNECT, &CKavrinDlg::OnBnClickedConnect},
    {IDC_BROWSE, &CKavrinDlg::OnBnClickedBrowse},
    {IDC_UPGRADE, &CKavrinDlg::OnBnClickedUpgrade},
    {IDC_GET_DATA, &CKavrinDlg::OnBnClickedGetData},
    {IDC_GET_CNT, &CKavrinDlg::OnBnClickedGetCnt},
    {IDC_DELETE_ALL, &CKavrinDlg::OnBnClickedDeleteAll},
    {IDC_SYNC_TIME, &CKavrinDlg::OnBnClickedSyncTime},
    {IDC_SET_POWER_DOWN, &CKavrinDlg::OnBnClickedSetPowerDown},
    {IDC_GET_POWER_DOWN, &CKavrinDlg::OnBnClickedGetPowerDown},
};

}  // namespace

CKavrinDlg::CKavrinDlg() : m_hIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

INT_PTR CKavrinDlg::DoModal() {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_KAVRIN_DIALOG), nullptr, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CKavrinDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CKavrinDlg*>(lParam);
        dialog->m_hWnd = window;
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return dialog->OnInitDialog();
    }
    // Messages sent before WM_INITDIALOG (WM_SETFONT) find no object yet.
    auto* dialog = reinterpret_cast<CKavrinDlg*>(GetWindowLongPtrW(window, DWLP_USER));
    return dialog ? dialog->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CKavrinDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_PAINT: return OnPaint();
    // One of the few messages whose answer a dialog procedure returns directly.
    case WM_QUERYDRAGICON: return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_SETCURSOR: return OnSetCursor();
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    default: return FALSE;
    }
}

BOOL CKavrinDlg::OnInitDialog() {
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    BindControls();

    // The list sorts itself as text, so COM12: comes before COM3:.
    for (const std::string& name : ProbeCommPorts())
        SendMessageW(m_cbPort, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromNarrow(name).c_str()));
    SendMessageW(m_cbPort, CB_SETCURSEL, 0, 0);

    EnableWindow(m_btnUpgrade, FALSE);
    m_nPowerDownMin = kPowerDownMinAtStart;
    UpdateData(false);
    return TRUE;  // the focus goes to the first control
}

void CKavrinDlg::BindControls() {
    m_cbPort = GetDlgItem(m_hWnd, IDC_PORT);
    m_btnConnect = GetDlgItem(m_hWnd, IDC_CONNECT);
    m_lbLog = GetDlgItem(m_hWnd, IDC_LOG);
    m_btnUpgrade = GetDlgItem(m_hWnd, IDC_UPGRADE);
    m_cbFile = GetDlgItem(m_hWnd, IDC_FILE);
    m_progress = GetDlgItem(m_hWnd, IDC_PROGRESS);
}

// Only a minimised window draws something of its own: the icon, centred.
bool CKavrinDlg::OnPaint() {
    if (!IsIconic(m_hWnd)) return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    int iconWidth = GetSystemMetrics(SM_CXICON);
    int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(m_hWnd, &client);
    int x = (client.right - client.left - iconWidth + 1) / 2;
    int y = (client.bottom - client.top - iconHeight + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
    return true;
}

void CKavrinDlg::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    switch (id) {
    case IDOK: OnOK(); return;
    case IDCANCEL: EndDialog(m_hWnd, IDCANCEL); return;
    default: break;
    }
    for (const ButtonRoute& route : kButtonMap) {
        if (route.controlId == id) {
            (this->*route.handler)();
            return;
        }
    }
}

// Enter: the window closes only when both fields pass their checks.
void CKavrinDlg::OnOK() {
    if (UpdateData(true)) EndDialog(m_hWnd, IDOK);
}
