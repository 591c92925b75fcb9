// Ctrl-C, SIGTERM and SIGHUP (on Windows: Ctrl-C, Ctrl-Break and the console
// window closing) while work runs that must not be cut off mid-request.
//
// While an InterruptCatcher lives, an interrupt does not end the program:
// it is counted, and the work asks for the count between two requests to
// the reader and stops there by itself, keeping what it has. When the
// catcher goes, interrupts end the program again. A request already on the
// line finishes: a read that a signal wakes goes back to waiting for the
// rest of its answer. On Windows the console closing leaves a process a few
// seconds; the handler holds the process that long at most, until the
// catcher goes.
#pragma once

class InterruptCatcher {
public:
    InterruptCatcher();
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

    // Interrupts since the catcher was made.
    int Count() const;
};

// Once the work an interrupt stopped has said what it kept, and the catcher
// is gone: ends the program as that interrupt would have. On Linux the
// signal's default action is restored and the signal raised again, so a
// shell sees 130, 143 or 129 and a script's loop over kavrin-cli stops. On
// Windows, and when no signal was caught, it returns and the program exits
// with its status.
void EndAsInterrupted();
