// What the operations show, shown in the Linux window.
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

#include "ops/feedback.h"
#include "qt/window_widgets.h"

class WindowFeedback : public Feedback {
public:
    explicit WindowFeedback(const WindowWidgets& widgets);

    void AppendLog(const std::string& text) override;
    void SetConnectCaption(const std::string& caption) override;
    void EnableUpgrade(bool enabled) override;
    std::string SelectedPort() override;
    void AddFirmwareFile(const std::string& path) override;
    void SetProgress(int position) override;
    bool PullFields() override;
    void PushFields() override;
    bool ShowMessage(const std::string& text, Buttons buttons) override;
    void ShowWaitCursor(bool on) override;
    std::optional<std::string> ChooseFirmwareFile() override;
    // The export's progress on the bar: records fetched of the count.
    void ShowRecordsFetched(long long fetched, long long total) override;
    bool StopRequested() override { return stop_; }

    // From any thread: the work in progress stops at its next safe point.
    void RequestStop() { stop_ = true; }

    // "Records Cnt" first, then "Auto PwrDwn Time" and its range; each
    // member is written as soon as its field passed. A failed check shows
    // its message, then selects the field's text to be typed over.
    bool PullFieldsHere();
    void PushFieldsHere(int recordCount, int powerDownMin);
    bool ShowMessageHere(const std::string& text, Buttons buttons);
    // Whether the operations last allowed "Upgrade".
    bool UpgradeAllowed() const { return upgradeAllowed_; }

private:
    bool FailOn(QLineEdit* field, const char* message);

    WindowWidgets w_;
    std::atomic<bool> stop_{false};
    bool upgradeAllowed_ = false;
    bool waitCursor_ = false;
};
