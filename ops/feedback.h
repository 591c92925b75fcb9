// The only way the operations reach the window.
//
// Each front end (the Windows dialog, the command-line program, the tests)
// implements this interface. The operations never know which one shows
// their results. The two integer fields of the dialog live here so that
// every front end has them; PullFields/PushFields move them between the
// window and these members.
#pragma once

#include <optional>
#include <string>

class Feedback {
public:
    virtual ~Feedback() = default;

    // One line at the end of the log; lines are never sorted, trimmed or cleared.
    virtual void AppendLog(const std::string& text) = 0;
    virtual void SetConnectCaption(const std::string& caption) = 0;
    virtual void EnableUpgrade(bool enabled) = 0;
    // The text of the entry selected in the port list; empty when none is.
    virtual std::string SelectedPort() = 0;
    // Adds a path to the firmware file list and selects the list's first entry.
    virtual void AddFirmwareFile(const std::string& path) = 0;
    // 0 to 100.
    virtual void SetProgress(int position) = 0;

    // Window to members, with the checks (an integer in "Records Cnt", 1 to
    // 60 in "Auto PwrDwn Time"); a failed check shows its own message and
    // gives false.
    virtual bool PullFields() = 0;
    // Members to window.
    virtual void PushFields() = 0;

    // YesNo is a warning whose default answer is No.
    enum class Buttons { Ok, OkCancel, YesNo };
    // True when the user pressed OK or Yes.
    virtual bool ShowMessage(const std::string& text, Buttons buttons) = 0;
    virtual void ShowWaitCursor(bool on) = 0;
    // The firmware image the user picked, as a UTF-8 path; nothing when cancelled.
    virtual std::optional<std::string> ChooseFirmwareFile() = 0;
    // After each block of an export: records fetched so far of the count the
    // reader reported. The Windows dialog shows nothing for it; the Linux
    // window moves its progress bar; a terminal draws a bar.
    virtual void ShowRecordsFetched(long long fetched, long long total) {
        (void)fetched;
        (void)total;
    }
    // True once the user asked the work in progress to stop (an interrupt,
    // the window closing). Operations that can stop safely ask between two
    // requests, never in the middle of one. The Windows dialog never asks.
    virtual bool StopRequested() { return false; }

    int m_nRecordCount = 0;
    int m_nPowerDownMin = 0;
};
