#include "qt/window_watch.h"

#include <QMetaObject>

#include <filesystem>
#include <system_error>

#include "qt/export_forms_setting.h"
#include "watch/watch.h"

namespace {

const char* const kWatchKey = "watch/downloadWhenPluggedIn";
const char* const kCsvFormat = "csv";

}  // namespace

// The log, and each download shown once the window's thread gets to it.
class WindowWatch::Front final : public WatchFront {
public:
    explicit Front(WindowWatch& watch) : watch_(watch) {}

    void Line(const std::string& line) override { watch_.log_.AppendLog(line); }
    void Finished(const std::string&, const DownloadReport& report) override {
        if (report.number == 0) return;
        QMetaObject::invokeMethod(
            watch_.w_.watch, [show = watch_.show_, number = report.number] { show(number); }, Qt::QueuedConnection);
    }
    bool StopRequested() override { return watch_.stop_; }

private:
    WindowWatch& watch_;
};

WindowWatch::WindowWatch(const WindowWidgets& widgets, Feedback& log, const BookChoice& book,
                         std::function<void(int64_t)> show, ReaderSource source)
    : w_(widgets), log_(log), show_(std::move(show)), source_(std::move(source)) {
    std::error_code error;
    // Where Get Data saves; should it be gone, the bare name fails to open and says so.
    settings_.folder = std::filesystem::current_path(error);
    settings_.format = kCsvFormat;
    settings_.book = book;
    TakeForms();
    for (QComboBox* box : {w_.idForm, w_.dateForm})
        QObject::connect(box, &QComboBox::currentIndexChanged, w_.watch, [this] { TakeForms(); });
    w_.watch->setChecked(KeptSettings().value(kWatchKey, false).toBool());
    QObject::connect(w_.watch, &QCheckBox::toggled, w_.watch, [this](bool on) {
        KeptSettings().setValue(kWatchKey, on);
        on ? Start() : Stop();
    });
    if (w_.watch->isChecked()) Start();
}

WindowWatch::~WindowWatch() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void WindowWatch::TakeForms() {
    const ExportForms forms = ChosenExportForms(w_.idForm, w_.dateForm);
    std::lock_guard<std::mutex> lock(mutex_);
    settings_.profile.forms = forms;
}

void WindowWatch::Start() {
    AdapterWatch adapters = source_();
    if (!adapters.events) {
        log_.AppendLog(adapters.error);
        w_.watch->setChecked(false);
        return;
    }
    stop_ = false;
    thread_ = std::thread([this, events = std::move(adapters.events)] {
        Front front(*this);
        WatchReaders(*events, front, [this] {
            std::lock_guard<std::mutex> lock(mutex_);
            return settings_;
        });
        // Ended: the box may start another watch.
        QMetaObject::invokeMethod(
            w_.watch,
            [this] {
                if (thread_.joinable()) thread_.join();
                w_.watch->setEnabled(true);
            },
            Qt::QueuedConnection);
    });
}

void WindowWatch::Stop() {
    if (!thread_.joinable()) return;
    stop_ = true;
    w_.watch->setEnabled(false);
}
