#include "cli/interrupts.h"

#include <windows.h>

namespace {

// Windows ends the process about five seconds after a console closes.
constexpr DWORD kCloseGraceMs = 4500;

volatile LONG g_interrupts = 0;
HANDLE g_workDone = nullptr;

// Runs on a thread of its own that Windows starts for the event.
BOOL WINAPI OnInterrupt(DWORD event) {
    InterlockedIncrement(&g_interrupts);
    // Returning lets Windows end the process at once: wait until the work
    // has stopped and said what it saved.
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        WaitForSingleObject(g_workDone, kCloseGraceMs);
    return TRUE;
}

}  // namespace

InterruptCatcher::InterruptCatcher() {
    g_interrupts = 0;
    // One event for the whole run: a handler still waiting may hold it.
    if (!g_workDone) g_workDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ResetEvent(g_workDone);
    SetConsoleCtrlHandler(OnInterrupt, TRUE);
}

InterruptCatcher::~InterruptCatcher() {
    SetEvent(g_workDone);
    SetConsoleCtrlHandler(OnInterrupt, FALSE);
}

int InterruptCatcher::Count() const { return static_cast<int>(g_interrupts); }

// Windows has no signal to end by: exit status 130 says it.
void EndAsInterrupted() {}
