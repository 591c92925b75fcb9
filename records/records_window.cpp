#include "records/records_window.h"

#include <windowsx.h>

#include "book/book.h"
#include "records/resource.h"

namespace {

const wchar_t* const kClassName = L"KavrinRecords";
constexpr UINT_PTR kWatchTimer = 1;
// How often the window asks the book whether another program wrote to it.
constexpr UINT kWatchMs = 1000;
// WM_DPICHANGED, which the headers for Windows 7 leave out.
constexpr UINT kDpiChanged = 0x02E0;

}  // namespace

RecordsWindow::RecordsWindow(std::filesystem::path book) : bookPath_(std::move(book)) {}

RecordsWindow::~RecordsWindow() {
    if (window_) DestroyWindow(window_);
    if (font_) DeleteObject(font_);
}

bool RecordsWindow::Create(int show) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    icon_ = LoadIconW(instance, MAKEINTRESOURCEW(IDR_RECORDS_ICON));
    keys_ = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_RECORDS_KEYS));
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon_;
    windowClass.hIconSm = icon_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    // Tab moves among the controls of a window that is a control parent, as in a dialog.
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, kRecordsTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                              this);
    if (!window_) return false;
    CreateControls();
    UseDpi(DpiOfWindow(window_));
    downloadsList_.SetColumns(DownloadHeadings(), measure_.charWidth);
    shownList_.SetColumns(ReadHeadings(), measure_.charWidth);
    SizeAtFirst();

    worker_ = MakeWindowBookWorker(bookPath_, window_);
    ShowWindow(window_, show);
    SetFocus(downloadsList_.Handle());
    SetTimer(window_, kWatchTimer, kWatchMs, nullptr);
    Button_SetCheck(keepBookBox_, KeepBookSetting() ? BST_CHECKED : BST_UNCHECKED);
    Watch();
    return true;
}

bool RecordsWindow::TakeKeys(MSG& msg) {
    if (keys_ && TranslateAcceleratorW(window_, keys_, &msg)) return true;
    return IsDialogMessageW(window_, &msg);
}

LRESULT CALLBACK RecordsWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<RecordsWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<RecordsWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT RecordsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_SIZE: LayOut(); return 0;
    case WM_GETMINMAXINFO: {
        if (!font_) break;
        const SIZE smallest = SmallestClient();
        RECT frame{0, 0, smallest.cx, smallest.cy};
        AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
        return 0;
    }
    case kDpiChanged: OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_TIMER: Watch(); return 0;
    case kWorkDone: RunWorkDone(lParam); return 0;
    // The control that had the focus has it again when the window comes back.
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            focus_ = GetFocus();
        } else if (focus_ && IsChild(window_, focus_)) {
            SetFocus(focus_);
            return 0;
        }
        break;
    case WM_DESTROY: OnDestroy(); return 0;
    default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void RecordsWindow::OnCommand(int id, int code) {
    // What each button (or its key) does.
    struct Route {
        int id;
        void (RecordsWindow::*handler)();
    };
    static const Route kRoutes[] = {
        {IDC_SHOW_PERIOD, &RecordsWindow::OnShowPeriod}, {IDC_FIND, &RecordsWindow::OnFindTag},
        {IDC_ANIMALS, &RecordsWindow::OnAnimals},        {IDC_MISSING, &RecordsWindow::OnMissing},
        {IDC_UNKNOWN, &RecordsWindow::OnUnknown},        {IDC_IMPORT_ANIMALS, &RecordsWindow::OnImportAnimals},
        {IDC_SAVE_AS, &RecordsWindow::OnSaveAs},         {IDC_READER, &RecordsWindow::OnReader},
        {IDC_KEEP_BOOK, &RecordsWindow::OnKeepBook},     {IDC_REFRESH, &RecordsWindow::OnRefresh},
        {IDC_GO_TO_FIND, &RecordsWindow::OnGoToFind},
    };
    if (id == IDC_ID_FORM) {
        if (code == CBN_SELCHANGE) OnIdForm();
        return;
    }
    // Enter in the Find Tag box finds the tag; elsewhere Enter and Esc do nothing.
    if (id == IDOK && GetFocus() == findText_) return OnFindTag();
    if (code != BN_CLICKED && code != 1) return;  // 1: an accelerator key
    for (const Route& route : kRoutes) {
        if (route.id == id) return (this->*route.handler)();
    }
}

LRESULT RecordsWindow::OnNotify(NMHDR& header) {
    LRESULT result = 0;
    if (downloadsList_.OnNotify(header, result) || shownList_.OnNotify(header, result)) return result;
    if (header.hwndFrom == downloadsList_.Handle() && header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (change.iItem >= 0 && (change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED) &&
            !selecting_)
            OnDownloadChosen(change.iItem);
    }
    if (header.hwndFrom == shownList_.Handle() && header.code == LVN_COLUMNCLICK)
        OnSort(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
    return 0;
}

void RecordsWindow::OnDestroy() {
    KillTimer(window_, kWatchTimer);
    // Waits for the query running, which stops at its next look.
    worker_.reset();
    PostQuitMessage(0);
}
