// The main window: dialog template 102, run modally, showing what the
// operations report.
//
// The object keeps itself with its window (DWLP_USER), so the dialog
// procedure finds it without globals. Clicks reach the button handlers
// through one table of control ids (kavrin_dlg.cpp); each handler runs its
// operation and sets what only the window shows (the Connect caption, the
// Upgrade button, the integer fields, the wait cursor, the file list) from
// the operation's result (kavrin_dlg_buttons.cpp). Everything runs on the one
// window thread: while an operation runs, no other message is handled.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ops/feedback.h"

// The program's name, the caption of every message box it shows.
inline constexpr wchar_t kAppName[] = L"Kavrin";

class CKavrinDlg : public Feedback {
public:
    CKavrinDlg();
    // Shows the window and returns when it has been closed.
    INT_PTR DoModal();

    void AppendLog(const std::string& text) override;
    bool ShowMessage(const std::string& text, Buttons buttons) override;
    // The firmware transfer's progress on the bar; an export shows none.
    void ShowProgress(Work work, long long done, long long total) override;

    // The buttons.
    void OnBnClickedConnect();
    void OnBnClickedBrowse();
    void OnBnClickedUpgrade();
    void OnBnClickedGetData();
    void OnBnClickedGetCnt();
    void OnBnClickedDeleteAll();
    void OnBnClickedSyncTime();
    void OnBnClickedSetPowerDown();
    void OnBnClickedGetPowerDown();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    bool OnPaint();
    void OnCommand(int id, int code);
    void OnOK();
    bool OnSetCursor();

    // Finds the controls the members stand for.
    void BindControls();
    // The Connect caption and the Upgrade button for the connection's state.
    void ShowConnected(bool connected);
    // The text of the entry selected in the port list; empty when none is.
    std::string SelectedPort();
    // Adds a path to the firmware file list and selects the list's first entry.
    void AddFirmwareFile(const std::string& path);
    // The firmware image the user picked, as a UTF-8 path; nothing when cancelled.
    std::optional<std::string> ChooseFirmwareFile();
    void ShowWaitCursor(bool on);
    // Moves the integer fields: window to members with their checks when
    // `save`, members to window otherwise. False when a check failed; its
    // message has been shown.
    bool UpdateData(bool save);
    // One field's text to `member`; false (message shown, field focused) when it is not an integer.
    bool PullInteger(int controlId, int& member);
    void PushInteger(int controlId, int value);
    void FailOn(int controlId, const wchar_t* message);

    HWND m_hWnd = nullptr;
    HICON m_hIcon = nullptr;
    HWND m_cbPort = nullptr;
    HWND m_btnConnect = nullptr;
    HWND m_lbLog = nullptr;
    HWND m_btnUpgrade = nullptr;
    HWND m_cbFile = nullptr;
    HWND m_progress = nullptr;
    int m_nRecordCount = 0;
    int m_nPowerDownMin = 0;

    bool m_bWaitCursor = false;
    HCURSOR m_hCursorBeforeWait = nullptr;
};
