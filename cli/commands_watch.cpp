// kavrin-cli watch [-o DIR] [export's options] [--delete] [--port PORT]...
// [--every SECONDS]: the watch (watch/reader_watch.h) in a terminal, or in
// the journal under the systemd user unit. Every line goes to standard
// error as it comes, each download's prefixed with its port; each saved
// file's path to standard output, flushed at once, so a pipe or the
// journal has it as soon as it is saved. It runs until an interrupt, which
// ends it as it ends export: the downloads in progress stop after the
// request in flight and keep their rows, and the program ends by the signal.
#include <cstdio>
#include <memory>
#include <mutex>

#include "cli/cli_feedback.h"
#include "cli/commands.h"
#include "cli/download_settings.h"
#include "ops/clock.h"
#include "ops/format_text.h"
#include "watch/watch.h"

namespace {

const char* const kWatchingAdapters = "watching for readers plugged in";
const char* const kWatchingPorts = "watching %s, tried every %u s while it does not answer";
const char* const kPortSeparator = ", ";

// The terminal shared by the watch's threads, a whole line at a time.
class TerminalFront final : public WatchFront {
public:
    explicit TerminalFront(CliFeedback& ui) : ui_(ui) {}

    void Line(const std::string& line) override {
        std::lock_guard<std::mutex> lock(mutex_);
        ui_.AppendLog(line);
    }
    void Saved(const std::vector<std::string>& files) override {
        std::lock_guard<std::mutex> lock(mutex_);
        ui_.Saved(files);
        std::fflush(stdout);
    }
    bool StopRequested() override { return ui_.StopRequested(); }

private:
    CliFeedback& ui_;
    std::mutex mutex_;
};

}  // namespace

int RunWatch(const GlobalOptions& global, const WatchOptions& options) {
    CliFeedback ui;
    ui.CatchInterrupts();
    TerminalFront front(ui);
    std::unique_ptr<PortEvents> events;
    if (options.ports.empty()) {
        AdapterWatch adapters = WatchAdapters();
        if (!adapters.events) {
            ui.Say(adapters.error);
            return kExitFailed;
        }
        events = std::move(adapters.events);
        ui.Say(kWatchingAdapters);
    } else {
        events = WatchNamedPorts(options.ports, std::chrono::seconds(options.every), TryNamingForeign(front));
        ui.Say(FormatText(kWatchingPorts, JoinedText(options.ports, kPortSeparator).c_str(), options.every));
    }
    const ExportOptions& download = options.download;
    // A watch runs for days: the dates a registry's file leaves out are each download's day.
    WatchReaders(*events, front, [&] {
        return SettingsFor(global, download, ProfileOf(download, DateOf(SystemClock().now())));
    });
    return kExitInterrupted;
}
