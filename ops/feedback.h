// What every front end shows of an operation: log lines, messages and
// questions, progress, and whether the user asked the work to stop.
//
// Each front end (the Windows dialog, the Linux window, the command line,
// the tests) implements this interface; the operations never know which one
// shows their results. What only a window has (a button's caption, the
// integer fields, the wait cursor, the file list) its own adapters set from
// the results the operations return.
#pragma once

#include <string>

class Feedback {
public:
    virtual ~Feedback() = default;

    // One line at the end of the log; lines are never sorted, trimmed or cleared.
    virtual void AppendLog(const std::string& text) = 0;

    // YesNo is a warning whose default answer is No.
    enum class Buttons { Ok, OkCancel, YesNo };
    // A message (Ok), or a question and its answer: true when the user
    // pressed OK or Yes.
    virtual bool ShowMessage(const std::string& text, Buttons buttons) = 0;

    // How far the work has come: after each block of an export, the records
    // fetched of the count the reader reported (a reader may hand out more,
    // or report a negative count); after each firmware block the reader
    // took, the image bytes before the next block of the image's length.
    enum class Work { Records, Image };
    virtual void ShowProgress(Work work, long long done, long long total) {
        (void)work;
        (void)done;
        (void)total;
    }

    // True once the user asked the work in progress to stop (an interrupt,
    // the window closing). Operations that can stop safely ask between two
    // requests, never in the middle of one. The Windows dialog never asks.
    virtual bool StopRequested() { return false; }
};
