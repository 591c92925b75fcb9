// The program: the main window, run modally; the process ends when it closes.
#include <windows.h>
#include <commctrl.h>

#include "ui/kavrin_dlg.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Every common-control class the window might use.
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    InitCommonControlsEx(&controls);

    CKavrinDlg dialog;
    dialog.DoModal();
    return 0;
}
