// What the operations show, shown in the Linux window, and what the
// window's button handlers ask of it and set in it.
//
// The operations run on the worker thread; every call here is carried over
// to the window's thread. A call that only shows something is queued and
// returns at once; one that needs an answer (the selected port, the fields,
// a message box, the file dialog) blocks the worker until the window's
// thread has answered. Queued calls keep their order, so a log line always
// shows before the message box that follows it. The "...Here" functions run
// on the window's thread only.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "doctor/doctor.h"
#include "ops/feedback.h"
#include "qt/window_widgets.h"

class WindowFeedback : public Feedback {
public:
    explicit WindowFeedback(const WindowWidgets& widgets);

    void AppendLog(const std::string& text) override;
    bool ShowMessage(const std::string& text, Buttons buttons) override;
    // The export's and the upgrade's progress on the bar.
    void ShowProgress(Work work, long long done, long long total) override;
    bool StopRequested() override { return stop_; }

    // From any thread: the work in progress stops at its next safe point.
    void RequestStop() { stop_ = true; }

    // For the button handlers, from the worker thread.
    // The path to open for the selected port; empty when none is selected.
    std::string SelectedPort();
    // The Connect caption for the state; "Upgrade" is allowed, and the
    // port list locked, while connected.
    void ShowConnected(bool connected);
    // Adds a path to the firmware file list and selects the list's first entry.
    void AddFirmwareFile(const std::string& path);
    // The firmware image the user picked, as a path; nothing when cancelled.
    std::optional<std::string> ChooseFirmwareFile();
    // Window to `recordCount` and `powerDownMin`, with their checks; see PullFieldsHere.
    bool PullFields(int& recordCount, int& powerDownMin);
    void PushFields(int recordCount, int powerDownMin);
    void ShowWaitCursor(bool on);
    // Under the log: why Connect failed, each finding with its remedy; none hides it.
    void ShowDiagnosis(const std::vector<Finding>& findings);

    // "Records Cnt" first, then "Auto PwrDwn Time" and its range; each
    // value is written as soon as its field passed. A failed check shows
    // its message, then selects the field's text to be typed over.
    bool PullFieldsHere(int& recordCount, int& powerDownMin);
    void PushFieldsHere(int recordCount, int powerDownMin);
    bool ShowMessageHere(const std::string& text, Buttons buttons);
    // Whether the reader was connected at the last word from the handlers.
    bool Connected() const { return connected_; }

private:
    bool FailOn(QLineEdit* field, const char* message);

    WindowWidgets w_;
    std::atomic<bool> stop_{false};
    bool connected_ = false;
    bool waitCursor_ = false;
};
