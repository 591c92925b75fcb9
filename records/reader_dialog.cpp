#include "records/reader_dialog.h"

#include <algorithm>
#include <string>

#include "link/utf.h"
#include "records/resource.h"

namespace {

const char* const kLooking = "Looking at the serial ports...";
const char* const kNoProblem = "No problem found with the serial ports.";
const char* const kNoWordToReader =
    "Kavrin Records does not talk to the reader. Whether the reader answers, Connect in Kavrin shows.";
const char* const kLineEnd = "\r\n";

}  // namespace

void ReaderDialog::Run(HWND owner, std::function<void()> survey) {
    survey_ = std::move(survey);
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_READER), owner, Procedure,
                    reinterpret_cast<LPARAM>(this));
    dialog_ = nullptr;
}

INT_PTR CALLBACK ReaderDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ReaderDialog*>(lParam);
        self->dialog_ = dialog;
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        self->Survey();
        return TRUE;
    }
    auto* self = reinterpret_cast<ReaderDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self || message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_READER_AGAIN: self->Survey(); return TRUE;
    case IDOK:
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    default: return FALSE;
    }
}

void ReaderDialog::Survey() {
    SetDlgItemTextW(dialog_, IDC_READER_FINDINGS, WideFromNarrow(kLooking).c_str());
    survey_();
}

void ReaderDialog::ShowFindings(const std::vector<Finding>& findings) {
    if (!dialog_) return;
    std::string text = FindingsText(findings, kLineEnd);
    if (std::none_of(findings.begin(), findings.end(), [](const Finding& f) { return f.Problem(); }))
        text += std::string(kNoProblem) + kLineEnd + kLineEnd;
    text += kNoWordToReader;
    SetDlgItemTextW(dialog_, IDC_READER_FINDINGS, WideFromNarrow(text).c_str());
}
