// The window feedback of the operations, as a terminal shows it.
//
// Log lines and messages become lines on standard error (above the
// progress bar, if one is shown); the files a download saved, its
// results, lines on standard output. The command line answers the operations'
// questions itself (--yes) before they run, so a question asked here is
// answered no. Interrupts caught meanwhile ask the work to stop once there
// are enough of them.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "cli/interrupts.h"
#include "cli/progress_bar.h"
#include "watch/watch.h"

class CliFeedback : public DownloadFeedback {
public:
    explicit CliFeedback(std::FILE* err = stderr);

    void AppendLog(const std::string& text) override;
    bool ShowMessage(const std::string& text, Buttons buttons) override;
    // The export's bar starts with its first block and counts records; the
    // upgrade's counts the blocks the reader took.
    void ShowProgress(Work work, long long done, long long total) override;
    bool StopRequested() override;

    // A bar of `total` units for the work that follows, on a terminal only.
    void StartProgress(long long total, const std::string& unit);
    void EndProgress() override { progress_.Finish(); }

    // A line of the program's own (a reason, a hint) on standard error.
    void Say(const std::string& text) override;
    // Each file's path on standard output, a line each.
    void Saved(const std::vector<std::string>& files) override;
    // One entry of a list that a Say line introduced.
    void SayItem(const std::string& text);

    // From now on, for as long as this feedback lives, interrupts no longer
    // end the program: the work stops at the `toStop`-th, and an earlier one
    // prints `warning`, once.
    void CatchInterrupts(int toStop = 1, std::string warning = {});

private:
    ProgressBar progress_;
    long long progressCalls_ = 0;
    std::optional<InterruptCatcher> interrupts_;
    int interruptsToStop_ = 1;
    std::string interruptWarning_;
    bool warned_ = false;
};
