#include "records/import_report_dialog.h"

#include "link/utf.h"
#include "ops/format_text.h"
#include "records/resource.h"

namespace {

const char* const kSummaryFormat =
    "Nothing was imported from %s: %zu bad lines. Mend them in the file and import it again.";
const char* const kLineFormat = "Line %d: %s";

struct Report {
    const std::string& file;
    const std::vector<CsvProblem>& problems;
};

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto& report = *reinterpret_cast<const Report*>(lParam);
        const std::string summary = FormatText(kSummaryFormat, report.file.c_str(), report.problems.size());
        SetDlgItemTextW(dialog, IDC_REPORT_SUMMARY, WideFromNarrow(summary).c_str());
        for (const CsvProblem& problem : report.problems) {
            // Line 0: the file as a whole.
            const std::string line =
                problem.line > 0 ? FormatText(kLineFormat, problem.line, problem.text.c_str()) : problem.text;
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
