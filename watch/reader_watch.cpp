#include "watch/reader_watch.h"

#include <future>
#include <map>
#include <memory>
#include <set>

#include "doctor/doctor.h"
#include "ops/format_text.h"
#include "watch/notification.h"

namespace {

const char* const kLeftAlone = " (left alone)";
const char* const kSaved = "download finished: %d records saved in %s";
const char* const kEmpty = "download finished: the reader holds no records";
const char* const kStopped = "download stopped: %d of %d records saved in %s";
const char* const kFailed = "download failed: %d of %d records saved in %s";
const char* const kStoppedEmpty = "download stopped: no records saved";
const char* const kFailedEmpty = "download failed: no records saved";
const char* const kDownloaded = "Reader downloaded";
const char* const kDownloadStopped = "Reader download stopped";
const char* const kDownloadFailed = "Reader download failed";
const char* const kFileSeparator = ", ";
// How long the watch waits for news before it looks whether it is to end.
constexpr std::chrono::milliseconds kLook{250};

// The connect's lines, said only once the device has proved a reader.
class KeptLines final : public Feedback {
public:
    void AppendLog(const std::string& text) override { lines.push_back(text); }
    bool ShowMessage(const std::string&, Buttons) override { return false; }

    std::vector<std::string> lines;
};

std::string FinishedLine(const DownloadReport& report) {
    const ExportResult& result = report.result;
    const std::string files = JoinedText(report.files, kFileSeparator);
    switch (report.status) {
    case DownloadStatus::Ok:
        return files.empty() ? std::string(kEmpty) : FormatText(kSaved, result.rows, files.c_str());
    case DownloadStatus::Stopped:
        return files.empty() ? std::string(kStoppedEmpty) : FormatText(kStopped, result.rows, result.total, files.c_str());
    case DownloadStatus::Failed: break;
    }
    return files.empty() ? std::string(kFailedEmpty) : FormatText(kFailed, result.rows, result.total, files.c_str());
}

const char* SummaryOf(DownloadStatus status) {
    switch (status) {
    case DownloadStatus::Ok: return kDownloaded;
    case DownloadStatus::Stopped: return kDownloadStopped;
    case DownloadStatus::Failed: break;
    }
    return kDownloadFailed;
}

// A port's download thread, and whether its reader came back meanwhile.
struct Running {
    std::future<void> ended;
    bool again = false;
};

// A reader's download on the calling thread: connected and checked, read,
// disconnected, said.
void DownloadReader(WatchFront& front, const std::string& port, const DownloadSettings& settings) {
    KeptLines connecting;
    PortHandle handle = nullptr;
    const ConnectResult connection = ConnectReader(connecting, port, handle);
    if (!connection.connected) return front.Line(ConnectFailureLine(port, connection) + kLeftAlone);
    PortFeedback ui(front, port);
    for (const std::string& line : connecting.lines) ui.AppendLog(line);
    DownloadJob job(ui, settings, port, connection);
    const ExportResult result = ExportRecords(ui, handle, settings.folder, job.Writer());
    const DownloadReport report = job.Finish(handle, result);
    DisconnectReader(handle);
    const std::string line = FinishedLine(report);
    ui.Say(line);
    NotifyDesktop(SummaryOf(report.status), port + ": " + line);
    front.Finished(port, report);
}

}  // namespace

void WatchReaders(PortEvents& events, WatchFront& front, const SettingsNow& settings) {
    std::map<std::string, Running> downloads;
    const auto start = [&](const std::string& port) {
        downloads[port] = {std::async(std::launch::async, DownloadReader, std::ref(front), port, settings())};
    };
    while (!front.StopRequested()) {
        for (const PortEvent& event : events.Next(kLook)) {
            const auto running = downloads.find(event.port);
            if (running != downloads.end())
                running->second.again = event.change == PortChange::Appeared;
            else if (event.change == PortChange::Appeared)
                start(event.port);
        }
        for (auto it = downloads.begin(); it != downloads.end();) {
            if (it->second.ended.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
                ++it;
                continue;
            }
            const std::string port = it->first;
            const bool again = it->second.again;
            it = downloads.erase(it);
            if (again) start(port);
        }
    }
    // Each download's future waits for its thread as it goes.
}

PortTry TryNamingForeign(WatchFront& front) {
    auto named = std::make_shared<std::set<std::string>>();
    return [&front, named](const std::string& port) {
        const ConnectResult result = TryReader(port);
        const bool foreign = !result.connected && result.outcome == Outcome::TransactionFailed &&
                             result.reply == ReaderReply::Foreign;
        const PortAnswer answer = AnswerOf(result);
        if (foreign && named->insert(port).second)
            front.Line(ConnectFailureLine(port, result) + kLeftAlone);
        else if (!foreign && answer != PortAnswer::Busy)
            named->erase(port);
        return answer;
    };
}
