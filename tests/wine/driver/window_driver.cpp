// Drives Kavrin.exe from outside, as a person at the keyboard would, for the
// end-to-end tests. Runs in the same Wine session as the program.
//
// Reads one command a line on standard input and answers each with one JSON
// object a line on standard output, {"ok":true,...} or {"ok":false,"error":...}:
//
//   find MS                 wait up to MS for the main window
//   find-titled MS TITLE    wait up to MS for a main window of another program, by its title
//   press ID                click a button; its handler runs while we go on
//   settle MS               wait until the clicks have been handled ("idle"),
//                           a dialog they opened is showing ("popup", with its
//                           caption and text), the window is gone ("closed"),
//                           or MS ran out ("busy")
//   popup-press ID          press a button of the dialog showing (1 OK, 2 Cancel, 6 Yes, 7 No) and wait
//                           until it is gone or shows a dialog of its own
//   popup-settext ID TEXT   type into a control of the dialog showing
//   popup-items ID          a list's entries and selection in the dialog showing
//   popup-select ID INDEX   pick an entry of a combo box in the dialog showing, as a click would
//   text ID                 a control's text (ID 0: the window's caption)
//   enabled ID              whether a control takes input
//   items ID                a list box's or combo box's entries and selection
//   rows ID                 a list view's headings, rows of cells and first row selected
//   checked ID              whether a check box is ticked
//   position ID             a progress bar's position
//   select ID INDEX         pick an entry of a combo box
//   settext ID TEXT         type into a control
//   enter ID                press Enter with the focus on a control
//   close                   the window's close box
//   rect [ID]               a control's rectangle on the screen (none or 0: the window's)
//   template ID PATH        dialog template ID as compiled into the program at PATH
//
// Clicks are sent with SendMessageCallbackW rather than posted. A window
// handles sent messages before posted ones, so a WM_NULL sent to see whether
// the window is idle could be answered while a posted click still waits.
// Sent messages keep their order, and the callback says when the handler
// returned. Enter is posted as a key, as typing it would; its outcome (a
// message box, the window closing) is what the caller waits for.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "json_reply.h"
#include "list_view_cells.h"
#include "link/utf.h"

namespace {

const int kMessageTextId = 0xFFFF;  // the text of a message box
const int kConnectButtonId = 1001;
const DWORD kCallTimeoutMs = 5000;

HWND g_dialog = nullptr;
int g_pendingClicks = 0;
std::string g_title;  // of the main window find-titled waits for

void Reply(const Json& fields = Json()) {
    std::string body = fields.Str();
    std::cout << "{\"ok\":true" << (body.size() > 2 ? "," : "") << body.substr(1) << std::endl;
}

void Fail(const std::string& why) { std::cout << Json().Bool("ok", false).Text("error", why).Str() << std::endl; }

// ---- Reading windows ----------------------------------------------------------

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kCallTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

std::string ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return NarrowFromWide(name);
}

std::string TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(Ask(window, WM_GETTEXTLENGTH)) + 1, L'\0');
    text.resize(static_cast<size_t>(Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return NarrowFromWide(text);
}

bool IsDialog(HWND window) { return IsWindowVisible(window) && ClassOf(window) == "#32770"; }

// The main window: a top-level dialog of no owner, captioned Kavrin, with the
// Connect button (a message box has the same caption).
BOOL CALLBACK MatchMainWindow(HWND window, LPARAM found) {
    if (!IsDialog(window) || GetWindow(window, GW_OWNER) || !GetDlgItem(window, kConnectButtonId) ||
        TextOf(window) != "Kavrin")
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// A top-level window of no owner with the title asked for.
BOOL CALLBACK MatchTitled(HWND window, LPARAM found) {
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER) || TextOf(window) != g_title) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// A dialog (message box, file dialog) that the window in `found` owns; `found` becomes it.
BOOL CALLBACK MatchOwned(HWND window, LPARAM found) {
    HWND& owner = *reinterpret_cast<HWND*>(found);
    if (!IsDialog(window) || GetWindow(window, GW_OWNER) != owner) return TRUE;
    owner = window;
    return FALSE;
}

HWND FindWindowBy(WNDENUMPROC match) {
    HWND found = nullptr;
    EnumWindows(match, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The dialog on top of those the main window owns, or none.
HWND FindPopup() {
    HWND owner = g_dialog;
    for (;;) {
        HWND found = owner;
        EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&found));
        if (found == owner) return owner == g_dialog ? nullptr : owner;
        owner = found;
    }
}

// The push button drawn as the default, the one Enter presses.
BOOL CALLBACK MatchDefaultButton(HWND control, LPARAM found) {
    if ((GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) != BS_DEFPUSHBUTTON) return TRUE;
    *reinterpret_cast<int*>(found) = GetDlgCtrlID(control);
    return FALSE;
}

int DefaultButton(HWND popup) {
    int id = 0;
    EnumChildWindows(popup, MatchDefaultButton, reinterpret_cast<LPARAM>(&id));
    return id;
}

Json PopupFields(HWND popup) {
    HWND text = GetDlgItem(popup, kMessageTextId);
    return Json()
        .Text("state", "popup")
        .Text("caption", TextOf(popup))
        .Text("text", text ? TextOf(text) : std::string())
        .Bool("message", text != nullptr)
        .Number("default", DefaultButton(popup));
}

Json Items(HWND control) {
    bool list = ClassOf(control) == "ListBox";
    UINT count = list ? LB_GETCOUNT : CB_GETCOUNT, length = list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN,
         get = list ? LB_GETTEXT : CB_GETLBTEXT, current = list ? LB_GETCURSEL : CB_GETCURSEL;
    std::vector<std::string> items;
    for (LRESULT i = 0, n = Ask(control, count); i < n; ++i) {
        std::wstring text(static_cast<size_t>(Ask(control, length, i)) + 1, L'\0');
        LRESULT copied = Ask(control, get, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
        items.push_back(NarrowFromWide(text));
    }
    return Json().Texts("items", items).Number("selected", Ask(control, current));
}

Json RectFields(int x, int y, int w, int h) { return Json().Number("x", x).Number("y", y).Number("w", w).Number("h", h); }

Json TemplateFields(const DialogTemplate& t) {
    Json dialog = RectFields(t.rect.x, t.rect.y, t.rect.w, t.rect.h)
                      .Number("style", t.style)
                      .Number("exstyle", t.exStyle)
                      .Text("menu", t.menu)
                      .Text("class", t.className)
                      .Text("caption", t.caption)
                      .Text("font", t.font)
                      .Number("points", t.points)
                      .Number("weight", t.weight)
                      .Number("italic", t.italic)
                      .Number("charset", t.charset);
    std::vector<Json> items;
    for (const TemplateItem& item : t.items)
        items.push_back(RectFields(item.rect.x, item.rect.y, item.rect.w, item.rect.h)
                            .Number("id", item.id)
                            .Text("class", item.className)
                            .Text("text", item.text)
                            .Number("style", item.style)
                            .Number("exstyle", item.exStyle));
    return Json().Raw("dialog", dialog.Str()).Objects("items", items);
}

// ---- Waiting ----------------------------------------------------------------------

void CALLBACK ClickHandled(HWND, UINT, ULONG_PTR, LRESULT) { --g_pendingClicks; }

// Runs the callbacks of finished clicks, waiting at most `ms` for one.
void PumpFor(DWORD ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void Find(DWORD ms, WNDENUMPROC match) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND found = FindWindowBy(match)) {
            g_dialog = found;
            g_pendingClicks = 0;
            return Reply();
        }
        if (GetTickCount() - start >= ms) return Fail("no main window");
        Sleep(50);
    }
}

void Settle(DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        PumpFor(20);
        if (!IsWindow(g_dialog)) return Reply(Json().Text("state", "closed"));
        if (HWND popup = FindPopup()) return Reply(PopupFields(popup));
        if (g_pendingClicks == 0) return Reply(Json().Text("state", "idle"));
        if (GetTickCount() - start >= ms) return Reply(Json().Text("state", "busy"));
    }
}

// ---- Commands -------------------------------------------------------------------

struct Command {
    std::string verb;
    int id = 0;
    std::string rest;  // what follows the id, spaces included
};

Command ParseCommand(const std::string& line) {
    std::istringstream in(line);
    Command c;
    in >> c.verb;
    if (in >> c.id) std::getline(in >> std::ws, c.rest);
    return c;
}

void Press(int id) {
    ++g_pendingClicks;
    if (!SendMessageCallbackW(g_dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                              reinterpret_cast<LPARAM>(GetDlgItem(g_dialog, id)), ClickHandled, 0)) {
        --g_pendingClicks;
        return Fail("click not delivered");
    }
    Reply();
}

void PopupCommand(const Command& c) {
    HWND popup = FindPopup();
    if (!popup) return Fail("no dialog showing");
    HWND control = GetDlgItem(popup, c.id);
    if (c.verb != "popup-press" && !control) return Fail("no control " + std::to_string(c.id) + " in the dialog");
    if (c.verb == "popup-items") return Reply(Items(control));
    if (c.verb == "popup-select") {
        int index = std::atoi(c.rest.c_str());
        if (Ask(control, CB_SETCURSEL, index) != index) return Fail("no entry " + c.rest);
        // Picking an entry by hand tells the dialog; CB_SETCURSEL alone does not.
        Ask(popup, WM_COMMAND, MAKEWPARAM(c.id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
        return Reply();
    }
    if (c.verb == "popup-settext") {
        std::wstring text = WideFromNarrow(c.rest);
        Ask(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return Reply();
    }
    PostMessageW(popup, WM_COMMAND, MAKEWPARAM(c.id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    DWORD start = GetTickCount();
    // Done when the dialog is gone, or when it shows one of its own (a refusal over a form).
    while (IsWindow(popup) && IsWindowVisible(popup) && FindPopup() == popup) {
        if (GetTickCount() - start >= kCallTimeoutMs) return Fail("dialog still showing");
        PumpFor(20);
    }
    Reply();
}

void ControlCommand(const Command& c) {
    HWND control = c.id == 0 ? g_dialog : GetDlgItem(g_dialog, c.id);
    if (!control) return Fail("no control " + std::to_string(c.id));
    if (c.verb == "text") return Reply(Json().Text("value", TextOf(control)));
    if (c.verb == "enabled") return Reply(Json().Bool("value", IsWindowEnabled(control)));
    if (c.verb == "items") return Reply(Items(control));
    if (c.verb == "checked") return Reply(Json().Bool("value", Ask(control, BM_GETCHECK) == BST_CHECKED));
    if (c.verb == "rows") {
        std::optional<ListViewCells> cells = ReadListView(control, kCallTimeoutMs);
        if (!cells) return Fail("the list's program cannot be read");
        return Reply(Json().Texts("headings", cells->headings).TextRows("rows", cells->rows).Number("selected", cells->selected));
    }
    if (c.verb == "position") return Reply(Json().Number("value", Ask(control, PBM_GETPOS)));
    if (c.verb == "select") {
        int index = std::atoi(c.rest.c_str());
        return Ask(control, CB_SETCURSEL, index) == index ? Reply() : Fail("no entry " + c.rest);
    }
    if (c.verb == "settext") {
        std::wstring text = WideFromNarrow(c.rest);
        Ask(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return Reply();
    }
    if (c.verb == "rect") {
        RECT r;
        GetWindowRect(control, &r);
        return Reply(RectFields(r.left, r.top, r.right - r.left, r.bottom - r.top));
    }
    // enter: the dialog manager sees the key in the window's own loop.
    Ask(g_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    PostMessageW(control, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(control, WM_KEYUP, VK_RETURN, 0xC01C0001);
    Reply();
}

void Run(const std::string& line) {
    Command c = ParseCommand(line);
    if (c.verb == "find") return Find(static_cast<DWORD>(c.id), MatchMainWindow);
    if (c.verb == "find-titled") {
        g_title = c.rest;
        return Find(static_cast<DWORD>(c.id), MatchTitled);
    }
    if (c.verb == "template") {
        std::string error;
        std::optional<DialogTemplate> dialog = ReadDialogTemplate(WideFromNarrow(c.rest), c.id, error);
        return dialog ? Reply(TemplateFields(*dialog)) : Fail(error);
    }
    if (!IsWindow(g_dialog)) return Fail("no main window; find it first");
    if (c.verb == "press") return Press(c.id);
    if (c.verb == "settle") return Settle(static_cast<DWORD>(c.id));
    if (c.verb == "popup-press" || c.verb == "popup-settext" || c.verb == "popup-items" || c.verb == "popup-select")
        return PopupCommand(c);
    if (c.verb == "text" || c.verb == "enabled" || c.verb == "items" || c.verb == "position" || c.verb == "select" ||
        c.verb == "settext" || c.verb == "enter" || c.verb == "rect" || c.verb == "checked" || c.verb == "rows")
        return ControlCommand(c);
    if (c.verb == "close") {
        PostMessageW(g_dialog, WM_CLOSE, 0, 0);
        return Reply();
    }
    Fail("unknown command: " + c.verb);
}

}  // namespace

int main() {
    for (std::string line; std::getline(std::cin, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) Run(line);
    }
    return 0;
}
