// What a watch shows, and the feedback of each of its downloads.
//
// A watch downloads several readers at once, each on a thread of its own,
// and every line of a download (the operations' and the program's own)
// goes to the one front (kavrin-cli's terminal, the window's log) whole and
// prefixed with the reader's port, "/dev/ttyUSB0: Data has been saved!",
// so that downloads side by side stay apart. A watch asks nobody anything
// and draws no progress; when the watch is to end, each download stops
// after the request in flight, keeping its rows.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "watch/download_job.h"

class WatchFront {
public:
    virtual ~WatchFront() = default;
    // One whole line, called from any of the watch's threads: the front
    // shows each at once and in one piece.
    virtual void Line(const std::string& line) = 0;
    // The files of a download that saved every record, from its thread.
    virtual void Saved(const std::vector<std::string>& files) { (void)files; }
    // A reader's download has ended and said so: what it did, from its thread.
    virtual void Finished(const std::string& port, const DownloadReport& report) {
        (void)port;
        (void)report;
    }
    // True once the watch is to end. Called from every thread.
    virtual bool StopRequested() = 0;
};

// One download's feedback: its lines to `front`, each prefixed with `port`.
class PortFeedback final : public DownloadFeedback {
public:
    PortFeedback(WatchFront& front, std::string port) : front_(front), prefix_(std::move(port) + ": ") {}

    void AppendLog(const std::string& text) override { front_.Line(prefix_ + text); }
    // A message is a line; a question is answered no.
    bool ShowMessage(const std::string& text, Buttons buttons) override;
    bool StopRequested() override { return front_.StopRequested(); }
    void Say(const std::string& text) override { front_.Line(prefix_ + text); }
    void Saved(const std::vector<std::string>& files) override { front_.Saved(files); }

private:
    WatchFront& front_;
    std::string prefix_;
};
