// The window's controls, and where they go: every size comes from the font
// (in dialog units, a quarter of its average character wide and an eighth
// of its line high, or from a text's own width), and all of it is done
// again for the font of a new DPI when the window moves to another screen.
#include <algorithm>
#include <iterator>
#include <span>

#include "formats/formats.h"
#include "link/utf.h"
#include "records/records_window.h"
#include "records/resource.h"

namespace {

const char* const kDownloadsLabel = "&Downloads";
const char* const kFromLabel = "F&rom";
const char* const kToLabel = "T&o";
const char* const kShowPeriod = "Show &Period";
const char* const kFindLabel = "Find &Tag";
const char* const kFind = "&Find";
const char* const kGroupLabel = "&Group";
const char* const kAllGroups = "All groups";
const char* const kAnimals = "&Animals";
const char* const kMissing = "&Missing...";
const char* const kUnknown = "&Unknown...";
const char* const kImportAnimals = "Import A&nimals...";
const char* const kIdFormLabel = "&ID form";
const char* const kNothingShown = "Reads";
const char* const kSaveAs = "&Save As...";
const char* const kReader = "R&eader...";
const char* const kKeepBook = "&Keep every Get Data in the record book";

// Dialog units.
constexpr int kMargin = 7;
constexpr int kControlHeight = 14;
constexpr int kDropDownHeight = 120;
constexpr int kLabelGap = 3;    // between a label and its control
constexpr int kControlGap = 4;  // between controls of a row
constexpr int kGroupGap = 12;   // between the groups of a row
constexpr int kRowGap = 4;
constexpr int kSectionGap = 6;
constexpr int kButtonPadding = 10;
constexpr int kSmallestButton = 50;
constexpr int kCheckBoxWidth = 14;  // the box and its gap to the text
constexpr int kDateWidth = 70;
constexpr int kFindWidth = 90;
constexpr int kGroupWidth = 80;
constexpr int kIdFormWidth = 130;
constexpr int kSmallestDownloads = 48;
constexpr int kSmallestShown = 64;
constexpr int kFirstWidth = 560;
constexpr int kFirstExtraHeight = 160;
constexpr int kStatusLines = 2;
// Of the lists' room, the downloads' share, in percent.
constexpr int kDownloadsShare = 30;

// The text as the control shows it: no '&' before a mnemonic.
std::wstring ShownText(HWND control) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    return text;
}

int TextWidth(HWND control, HFONT font) {
    const std::wstring text = ShownText(control);
    HDC dc = GetDC(control);
    HGDIOBJ before = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, before);
    ReleaseDC(control, dc);
    return size.cx;
}

BOOL CALLBACK SetFont(HWND control, LPARAM font) {
    SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

}  // namespace

HWND RecordsWindow::AddControl(const wchar_t* className, const std::string& text, DWORD style, int id) {
    return CreateWindowExW(0, className, WideFromNarrow(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                           window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                           nullptr);
}

// In tab order; each label comes just before its control, so that Alt and
// the label's letter reach the control and a screen reader names the
// control by it.
void RecordsWindow::CreateControls() {
    const DWORD label = SS_LEFT;
    const DWORD button = WS_TABSTOP | BS_PUSHBUTTON;
    downloadsLabel_ = AddControl(WC_STATICW, kDownloadsLabel, label, IDC_DOWNLOADS_LABEL);
    downloadsList_.Create(window_, IDC_DOWNLOADS);
    fromLabel_ = AddControl(WC_STATICW, kFromLabel, label, IDC_FROM_LABEL);
    from_ = AddControl(DATETIMEPICK_CLASSW, "", WS_TABSTOP | DTS_SHORTDATEFORMAT | DTS_SHOWNONE, IDC_FROM);
    toLabel_ = AddControl(WC_STATICW, kToLabel, label, IDC_TO_LABEL);
    to_ = AddControl(DATETIMEPICK_CLASSW, "", WS_TABSTOP | DTS_SHORTDATEFORMAT | DTS_SHOWNONE, IDC_TO);
    showPeriodButton_ = AddControl(WC_BUTTONW, kShowPeriod, button, IDC_SHOW_PERIOD);
    findLabel_ = AddControl(WC_STATICW, kFindLabel, label, IDC_FIND_LABEL);
    findText_ = AddControl(WC_EDITW, "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, IDC_FIND_TEXT);
    findButton_ = AddControl(WC_BUTTONW, kFind, button, IDC_FIND);
    groupLabel_ = AddControl(WC_STATICW, kGroupLabel, label, IDC_GROUP_LABEL);
    group_ = AddControl(WC_COMBOBOXW, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, IDC_GROUP);
    animalsButton_ = AddControl(WC_BUTTONW, kAnimals, button, IDC_ANIMALS);
    missingButton_ = AddControl(WC_BUTTONW, kMissing, button, IDC_MISSING);
    unknownButton_ = AddControl(WC_BUTTONW, kUnknown, button, IDC_UNKNOWN);
    importButton_ = AddControl(WC_BUTTONW, kImportAnimals, button, IDC_IMPORT_ANIMALS);
    idFormLabel_ = AddControl(WC_STATICW, kIdFormLabel, label, IDC_ID_FORM_LABEL);
    idForm_ = AddControl(WC_COMBOBOXW, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, IDC_ID_FORM);
    shownLabel_ = AddControl(WC_STATICW, kNothingShown, label | SS_NOPREFIX, IDC_SHOWN_LABEL);
    shownList_.Create(window_, IDC_SHOWN);
    saveAsButton_ = AddControl(WC_BUTTONW, kSaveAs, button, IDC_SAVE_AS);
    readerButton_ = AddControl(WC_BUTTONW, kReader, button, IDC_READER);
    keepBookBox_ = AddControl(WC_BUTTONW, kKeepBook, WS_TABSTOP | BS_CHECKBOX, IDC_KEEP_BOOK);
    bookStatus_ = AddControl(WC_STATICW, "", label | SS_NOPREFIX, IDC_BOOK_STATUS);

    // No bound on either side until the user sets one.
    DateTime_SetSystemtime(from_, GDT_NONE, nullptr);
    DateTime_SetSystemtime(to_, GDT_NONE, nullptr);
    SendMessageW(group_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromNarrow(kAllGroups).c_str()));
    SendMessageW(group_, CB_SETCURSEL, 0, 0);
    for (IdForm form : OfferedIdForms()) {
        SendMessageW(idForm_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromNarrow(IdFormExample(form)).c_str()));
        if (form == form_) SendMessageW(idForm_, CB_SETCURSEL, SendMessageW(idForm_, CB_GETCOUNT, 0, 0) - 1, 0);
    }
    EnableWindow(saveAsButton_, FALSE);
}

IdForm RecordsWindow::ChosenIdForm() const {
    const LRESULT index = SendMessageW(idForm_, CB_GETCURSEL, 0, 0);
    const std::span<const IdForm> forms = OfferedIdForms();
    if (index < 0 || static_cast<size_t>(index) >= forms.size()) return form_;
    return forms[static_cast<size_t>(index)];
}

void RecordsWindow::UseDpi(UINT dpi) {
    HFONT font = MessageFontForDpi(dpi);
    EnumChildWindows(window_, SetFont, reinterpret_cast<LPARAM>(font));
    if (font_) DeleteObject(font_);
    font_ = font;
    measure_ = MeasureFont(window_, font_);
    downloadsList_.Rescale(measure_.charWidth);
    shownList_.Rescale(measure_.charWidth);
    SendMessageW(group_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), measure_.lineHeight);
    SendMessageW(idForm_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), measure_.lineHeight);
}

// The rows of controls side by side, each control with its width and the gap before it.
std::vector<std::vector<RecordsWindow::Placed>> RecordsWindow::ControlRows() const {
    const FontMeasure& m = measure_;
    auto labelOf = [&](HWND control, int gap) { return Placed{control, TextWidth(control, font_), m.X(gap)}; };
    auto fixed = [&](HWND control, int width) { return Placed{control, m.X(width), m.X(kLabelGap)}; };
    auto buttonOf = [&](HWND control, int gap = kControlGap) {
        return Placed{control, std::max(TextWidth(control, font_) + m.X(kButtonPadding), m.X(kSmallestButton)),
                      m.X(gap)};
    };
    return {
        {labelOf(fromLabel_, 0), fixed(from_, kDateWidth), labelOf(toLabel_, kControlGap), fixed(to_, kDateWidth),
         buttonOf(showPeriodButton_), labelOf(findLabel_, kGroupGap), fixed(findText_, kFindWidth),
         buttonOf(findButton_)},
        {labelOf(groupLabel_, 0), fixed(group_, kGroupWidth), buttonOf(animalsButton_), buttonOf(missingButton_),
         buttonOf(unknownButton_), buttonOf(importButton_), labelOf(idFormLabel_, kGroupGap),
         fixed(idForm_, kIdFormWidth)},
        {buttonOf(saveAsButton_, 0), buttonOf(readerButton_),
         Placed{keepBookBox_, TextWidth(keepBookBox_, font_) + m.X(kCheckBoxWidth), m.X(kGroupGap)}},
    };
}

// Everything above and below the two lists.
int RecordsWindow::FixedHeight() const {
    const FontMeasure& m = measure_;
    return m.Y(kMargin) + m.lineHeight + m.Y(kLabelGap) + m.Y(kSectionGap) + 2 * (m.Y(kControlHeight) + m.Y(kRowGap)) +
           m.Y(kSectionGap) + m.lineHeight + m.Y(kLabelGap) + m.Y(kSectionGap) + m.Y(kControlHeight) + m.Y(kRowGap) +
           kStatusLines * m.lineHeight + m.Y(kMargin);
}

SIZE RecordsWindow::SmallestClient() const {
    int widest = 0;
    for (const auto& row : ControlRows()) {
        int width = 0;
        for (const Placed& placed : row) width += placed.gap + placed.width;
        widest = std::max(widest, width);
    }
    return {widest + 2 * measure_.X(kMargin),
            FixedHeight() + measure_.Y(kSmallestDownloads) + measure_.Y(kSmallestShown)};
}

void RecordsWindow::SizeAtFirst() {
    const SIZE smallest = SmallestClient();
    RECT frame{0, 0, std::max<LONG>(smallest.cx, measure_.X(kFirstWidth)), smallest.cy + measure_.Y(kFirstExtraHeight)};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int width = std::min(frame.right - frame.left, work.right - work.left);
    const int height = std::min(frame.bottom - frame.top, work.bottom - work.top);
    SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void RecordsWindow::LayOut() {
    if (!font_) return;
    const FontMeasure& m = measure_;
    RECT client;
    GetClientRect(window_, &client);
    const int left = m.X(kMargin);
    const int width = std::max<int>(client.right - 2 * left, 0);
    const int controlHeight = m.Y(kControlHeight);
    const int lists = std::max<int>(client.bottom - FixedHeight(), m.Y(kSmallestDownloads) + m.Y(kSmallestShown));
    const int downloadsHeight = std::max(m.Y(kSmallestDownloads), lists * kDownloadsShare / 100);
    const int shownHeight = std::max(m.Y(kSmallestShown), lists - downloadsHeight);
    const std::vector<std::vector<Placed>> rows = ControlRows();

    HDWP moves = BeginDeferWindowPos(32);
    auto move = [&](HWND control, int x, int y, int w, int h) {
        moves = DeferWindowPos(moves, control, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    auto placeRow = [&](const std::vector<Placed>& row, int y) {
        int x = left;
        for (const Placed& placed : row) {
            x += placed.gap;
            wchar_t className[32] = {};
            GetClassNameW(placed.control, className, 32);
            const bool isLabel = lstrcmpiW(className, WC_STATICW) == 0;
            const bool isCombo = lstrcmpiW(className, WC_COMBOBOXW) == 0;
            if (isLabel)
                move(placed.control, x, y + (controlHeight - m.lineHeight) / 2, placed.width, m.lineHeight);
            else
                move(placed.control, x, y, placed.width, controlHeight + (isCombo ? m.Y(kDropDownHeight) : 0));
            x += placed.width;
        }
    };

    int y = m.Y(kMargin);
    move(downloadsLabel_, left, y, width, m.lineHeight);
    y += m.lineHeight + m.Y(kLabelGap);
    move(downloadsList_.Handle(), left, y, width, downloadsHeight);
    y += downloadsHeight + m.Y(kSectionGap);
    placeRow(rows[0], y);
    y += controlHeight + m.Y(kRowGap);
    placeRow(rows[1], y);
    y += controlHeight + m.Y(kRowGap) + m.Y(kSectionGap);
    move(shownLabel_, left, y, width, m.lineHeight);
    y += m.lineHeight + m.Y(kLabelGap);
    move(shownList_.Handle(), left, y, width, shownHeight);
    y += shownHeight + m.Y(kSectionGap);
    placeRow(rows[2], y);
    y += controlHeight + m.Y(kRowGap);
    move(bookStatus_, left, y, width, kStatusLines * m.lineHeight);
    EndDeferWindowPos(moves);
}

void RecordsWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    UseDpi(dpi);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut();
}
