// Kavrin Records' own window over a book of 1,000,000 reads (big_book.h):
// how long its thread was ever busy with one message while it showed the
// newest download of 100,000 reads, sorted them by four columns, scrolled
// through them, found a tag, showed every read of the book and the animals
// missing from a download. The window is driven with the messages a user's
// clicks send; every book query runs on its worker meanwhile.
//
// Under Wine with a display: xvfb-run wine records_window_bench.exe BOOK
// (BOOK as records_bench builds it; Z:\tmp\kavrin-records-bench\records.db).
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "big_book.h"
#include "records/records_window.h"
#include "records/resource.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr double kStepTimeoutMs = 120000;
constexpr int kScrollPages = 50;

struct Step {
    const char* what;
    std::function<void(HWND window)> act;
    std::function<bool(HWND window)> done;
};

HWND Child(HWND window, int id) { return GetDlgItem(window, id); }

int Rows(HWND window) { return static_cast<int>(SendMessageW(Child(window, IDC_SHOWN), LVM_GETITEMCOUNT, 0, 0)); }

std::wstring LabelOf(HWND window, int id) {
    wchar_t text[256] = {};
    GetWindowTextW(Child(window, id), text, 256);
    return text;
}

bool SortedBy(HWND window, int column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(ListView_GetHeader(Child(window, IDC_SHOWN)), column, &item);
    return (item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0;
}

void ClickHeader(HWND window, int column) {
    NMLISTVIEW click{};
    click.hdr = {Child(window, IDC_SHOWN), IDC_SHOWN, static_cast<UINT>(LVN_COLUMNCLICK)};
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(window, WM_NOTIFY, IDC_SHOWN, reinterpret_cast<LPARAM>(&click));
}

void Click(HWND window, int id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// The longest one message kept the window's thread, and how long the step took, in ms.
struct Timing {
    double longestMessage = 0;
    UINT longestKind = 0;  // which message it was
    double total = 0;
    bool done = false;
};

Timing RunStep(RecordsWindow& records, HWND window, const Step& step) {
    Timing timing;
    const auto start = SteadyClock::now();
    step.act(window);
    auto ms = [](SteadyClock::time_point since) {
        return std::chrono::duration<double, std::milli>(SteadyClock::now() - since).count();
    };
    while (!(timing.done = step.done(window)) && ms(start) < kStepTimeoutMs) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        const auto handling = SteadyClock::now();
        if (!records.TakeKeys(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const double took = ms(handling);
        if (took > timing.longestMessage) {
            timing.longestMessage = took;
            timing.longestKind = msg.message;
        }
    }
    timing.total = ms(start);
    return timing;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2) {
        std::fprintf(stderr, "usage: records_window_bench BOOK\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    RecordsWindow records(argv[1]);
    if (!records.Create(SW_SHOW)) return 1;
    HWND window = FindWindowW(L"KavrinRecords", nullptr);
    const int all = kBigBookDownloads * kBigBookDownloadReads;
    const Step steps[] = {
        {"the newest download's 100,000 reads shown", [](HWND) {}, [](HWND w) { return Rows(w) == kBigBookDownloadReads; }},
        {"sorted by Tag", [](HWND w) { ClickHeader(w, 3); }, [](HWND w) { return SortedBy(w, 3); }},
        {"sorted by Time", [](HWND w) { ClickHeader(w, 4); }, [](HWND w) { return SortedBy(w, 4); }},
        {"sorted by Visual tag", [](HWND w) { ClickHeader(w, 5); }, [](HWND w) { return SortedBy(w, 5); }},
        {"sorted by Row", [](HWND w) { ClickHeader(w, 0); }, [](HWND w) { return SortedBy(w, 0); }},
        {"50 pages scrolled down, each drawn",
         [](HWND w) {
             for (int i = 0; i < kScrollPages; ++i) PostMessageW(Child(w, IDC_SHOWN), WM_VSCROLL, SB_PAGEDOWN, 0);
         },
         [](HWND w) { return ListView_GetTopIndex(Child(w, IDC_SHOWN)) > 0 && !HIWORD(GetQueueStatus(QS_ALLINPUT)); }},
        {"a tag found among 1,000,000 reads",
         [](HWND w) {
             SetWindowTextW(Child(w, IDC_FIND_TEXT), L"982 000000499995");
             Click(w, IDC_FIND);
         },
         [](HWND w) { return LabelOf(w, IDC_SHOWN_LABEL).rfind(L"Every read of", 0) == 0; }},
        {"every read of the book shown (Show Period, no bounds)", [](HWND w) { Click(w, IDC_SHOW_PERIOD); },
         [all](HWND w) { return Rows(w) == all; }},
        {"the animals of every group missing from every download", [](HWND w) { Click(w, IDC_MISSING); },
         [](HWND w) { return LabelOf(w, IDC_SHOWN_LABEL).rfind(L"Animals of", 0) == 0; }},
    };
    double longest = 0;
    bool complete = true;
    for (const Step& step : steps) {
        const Timing timing = RunStep(records, window, step);
        std::printf("%-58s after %6.0f ms; the window's longest message %6.1f ms (0x%04X)%s\n", step.what,
                    timing.total, timing.longestMessage, timing.longestKind, timing.done ? "" : " (not done in time)");
        std::fflush(stdout);
        longest = std::max(longest, timing.longestMessage);
        complete = complete && timing.done;
    }
    std::printf("the window's thread was never busy longer than %.1f ms with one message (target under 100 ms)\n",
                longest);
    DestroyWindow(window);
    return complete ? 0 : 1;
}
