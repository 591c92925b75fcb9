#include "records/import_report_dialog.h"

#include "link/utf.h"
#include "book/book.h"
#include "records/resource.h"

namespace {

struct Report {
    const std::string& file;
    const std::vector<CsvProblem>& problems;
};

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto& report = *reinterpret_cast<const Report*>(lParam);
        const std::string summary = ImportRefusedSummary(report.file, report.problems.size());
        SetDlgItemTextW(dialog, IDC_REPORT_SUMMARY, WideFromNarrow(summary).c_str());
        for (const std::string& line : ImportProblemLines(report.problems)) {
            SendDlgItemMessageW(dialog, IDC_REPORT_LINES, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(WideFromNarrow(line).c_str()));
        }
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void ShowImportReport(HWND owner, const std::string& file, const std::vector<CsvProblem>& problems) {
    Report report{file, problems};
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_IMPORT_REPORT), owner, Procedure,
                    reinterpret_cast<LPARAM>(&report));
}
