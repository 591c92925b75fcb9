// Moving the two integer fields between the window and the members, with the
// checks and messages users know from framework dialogs.
#include "ui/kavrin_dlg.h"

#include <string>

#include "link/utf.h"
#include "ops/integer_field.h"
#include "ui/resource.h"

namespace {

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

// "Records Cnt" first, then "Auto PwrDwn Time" and its range. A member is
// written as soon as its field has been read, so a failed check leaves the
// fields before it pulled, and a value out of range in its member: the
// operations that pull the fields look at the member, not at the outcome.
bool CKavrinDlg::UpdateData(bool save) {
    if (!save) {
        PushInteger(IDC_RECORD_COUNT, m_nRecordCount);
        PushInteger(IDC_POWER_DOWN, m_nPowerDownMin);
        return true;
    }
    if (!PullInteger(IDC_RECORD_COUNT, m_nRecordCount)) return false;
    if (!PullInteger(IDC_POWER_DOWN, m_nPowerDownMin)) return false;
    if (!PowerDownInRange(m_nPowerDownMin)) {
        FailOn(IDC_POWER_DOWN, WideFromNarrow(kPowerDownOutOfRange).c_str());
        return false;
    }
    return true;
}

bool CKavrinDlg::PullInteger(int controlId, int& member) {
    std::optional<int> value = ParseIntegerField(NarrowFromWide(WindowText(GetDlgItem(m_hWnd, controlId))));
    if (!value) {
        FailOn(controlId, WideFromNarrow(kNotAnInteger).c_str());
        return false;
    }
    member = *value;
    return true;
}

void CKavrinDlg::PushInteger(int controlId, int value) {
    SetWindowTextW(GetDlgItem(m_hWnd, controlId), std::to_wstring(value).c_str());
}

// The message first, then the field gets the focus with its text selected,
// ready to be typed over.
void CKavrinDlg::FailOn(int controlId, const wchar_t* message) {
    MessageBoxW(m_hWnd, message, kAppName, MB_OK | MB_ICONEXCLAMATION);
    HWND field = GetDlgItem(m_hWnd, controlId);
    SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    SendMessageW(field, EM_SETSEL, 0, -1);
}
