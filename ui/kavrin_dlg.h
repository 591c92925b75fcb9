// The main window: dialog template 102, run modally, showing what the
// operations report.
//
// The object keeps itself with its window (DWLP_USER), so the dialog
// procedure finds it without globals. Clicks reach the operations through
// one table of control ids (kavrin_dlg.cpp). Everything runs on the one
// window thread: while an operation runs, no other message is handled.
#pragma once

#include <windows.h>

#include "ops/feedback.h"

// The program's name, the caption of every message box it shows.
inline constexpr wchar_t kAppName[] = L"Kavrin";

class CKavrinDlg : public Feedback {
public:
    CKavrinDlg();
    // Shows the window and returns when it has been closed.
    INT_PTR DoModal();

    void AppendLog(const std::string& text) override;
    void SetConnectCaption(const std::string& caption) override;
    void EnableUpgrade(bool enabled) override;
    std::string SelectedPort() override;
    void AddFirmwareFile(const std::string& path) override;
    void SetProgress(int position) override;
    bool PullFields() override;
    void PushFields() override;
    bool ShowMessage(const std::string& text, Buttons buttons) override;
    void ShowWaitCursor(bool on) override;
    std::optional<std::string> ChooseFirmwareFile() override;

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

    bool m_bWaitCursor = false;
    HCURSOR m_hCursorBeforeWait = nullptr;
};
