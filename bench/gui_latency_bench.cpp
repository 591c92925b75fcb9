// How long the Linux window's event loop is ever blocked, first while "Get
// Data" fetches 10,000 records from kavrin-sim paced at 115200 baud, then
// while the records table shows, sorts and filters a download of 100,000
// reads (target: under 50 ms). A 1 ms timer runs on the window's thread
// throughout; the longest gap between two of its ticks is the longest time
// the window could not repaint or answer. The message box at the end of
// Get Data is answered by the same timer, so its own event loop is
// measured too. With each step goes the processor time the window's
// thread spent on it, which a loaded machine inflates less than the
// stalls. It also says whether the tag column lies inside the
// table's viewport at the window's first size.
#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <vector>

#include "qt/main_window.h"
#include "qt/records_view.h"
#include "sim/virtual_reader.h"

namespace {

const char* const kRecords = "10000";
const char* const kBaud = "115200";
constexpr int kTableRows = 100000;
constexpr int kTickMs = 1;

QPushButton* Button(QWidget& window, const QString& caption) {
    for (QPushButton* button : window.findChildren<QPushButton*>())
        if (button->text() == caption) return button;
    return nullptr;
}

// Presses the first button of an open message box; gives its text.
QString AnswerMessageBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || box->buttons().empty()) return {};
    box->buttons().front()->click();
    return box->text();
}

// A download as the book hands it to the window: the virtual reader's reads, decoded.
ShownDownload LargeDownload() {
    ShownDownload download;
    download.summary = {1, "2021-09-19 05:44:59", "/dev/ttyUSB0", "1.0", kTableRows, kTableRows, kTableRows,
                        "ok", "/tmp/records.csv", "csv"};
    int row = 0;
    for (const TagBytes& bytes : GenerateRecords(kTableRows)) {
        BookRead read;
        read.download = 1;
        read.row = ++row;
        std::copy(bytes.begin(), bytes.end(), read.record.begin());
        read.tag = DecodeTagRecord(read.record);
        read.isNew = row % 3 != 0;
        download.rows.push_back(std::move(read));
    }
    return download;
}

// Processor time of the calling thread, in µs.
qint64 ThreadCpuUs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000000LL + now.tv_nsec / 1000;
}

// One thing done to the window, measured from its start until `done` holds.
struct Step {
    const char* name;
    std::function<void()> start;
    std::function<bool()> done;
    qint64 startedUs = 0;
    qint64 tookUs = 0;
    qint64 cpuStartedUs = 0;
    qint64 cpuUs = 0;
    qint64 longestGapUs = 0;
    int rowsShown = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QProcess sim;
    sim.start(KAVRIN_SIM, {"--records", kRecords, "--baud", kBaud});
    if (!sim.waitForReadyRead(10000)) {
        std::fprintf(stderr, "kavrin-sim did not start\n");
        return 1;
    }
    const QString port = QString::fromUtf8(sim.readLine()).trimmed();
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());

    // The window keeps its download in a book, as it does for a user.
    MainWindow window(port, {true, std::filesystem::path(folder.path().toStdString()) / "records.db"});
    window.show();
    auto* records = window.findChild<RecordsView*>();
    auto* table = window.findChild<QTableView*>("records");
    auto* filter = window.findChild<QLineEdit*>("tagFilter");
    const int tagRight = table->columnViewportPosition(kTagColumn) + table->columnWidth(kTagColumn);
    std::printf("first size: window %d x %d, table viewport %d px wide, tag column ends at %d px: %s\n",
                window.width(), window.height(), table->viewport()->width(), tagRight,
                tagRight <= table->viewport()->width() ? "visible" : "needs a scroll");

    const ShownDownload large = LargeDownload();
    QString message;
    auto idle = [&] { return Button(window, "Get Cnt")->isEnabled(); };
    // Every row in the view, whatever fills it.
    auto tableHolds = [&](int rows) {
        QAbstractItemModel* model = table->model();
        return model->rowCount() == rows && model->index(rows - 1, kRowColumn).data().isValid();
    };
    auto firstRow = [&] { return table->model()->index(0, kRowColumn).data().toInt(); };
    QElapsedTimer clock;
    std::vector<Step> steps;
    steps = {
        {"connect", [&] { Button(window, "Connect")->click(); }, [&] { return idle(); }},
        {"Get Data of 10,000 records", [&] { Button(window, "Get Data")->click(); },
         [&] { return idle() && !message.isEmpty() && tableHolds(10000); }},
        {"show a download of 100,000 reads", [&] { records->Show(large); }, [&] { return tableHolds(kTableRows); }},
        {"sort 100,000 rows by tag", [&] { table->sortByColumn(kTagColumn, Qt::AscendingOrder); }, [] { return true; }},
        {"sort 100,000 rows by row, descending", [&] { table->sortByColumn(kRowColumn, Qt::DescendingOrder); },
         [&] { return firstRow() == kTableRows; }},
        {"type \"982\" into the filter", [&] { filter->setText("982"); }, [] { return true; }},
        {"type \"982 0\" into the filter", [&] { filter->setText("982 0"); }, [] { return true; }},
        {"clear the filter", [&] { filter->clear(); }, [] { return true; }},
        // What the last step left to do, such as painting, lands here.
        {"nothing, for 100 ms", [] {}, [&] { return clock.nsecsElapsed() / 1000 - steps.back().startedUs >= 100000; }},
    };

    qint64 lastTick = 0;
    size_t current = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed() / 1000;
        Step& step = steps[current];
        step.longestGapUs = std::max(step.longestGapUs, now - lastTick);
        lastTick = now;
        if (QString text = AnswerMessageBox(); !text.isEmpty()) message = text;
        if (!step.done()) return;
        step.tookUs = now - step.startedUs;
        step.cpuUs = ThreadCpuUs() - step.cpuStartedUs;
        step.rowsShown = table->model()->rowCount();
        if (current == 0 && !Button(window, "Discon")) {
            std::fprintf(stderr, "could not connect to %s\n", qPrintable(port));
            app.exit(1);
            return;
        }
        if (++current == steps.size()) return app.quit();
        steps[current].startedUs = clock.nsecsElapsed() / 1000;
        steps[current].cpuStartedUs = ThreadCpuUs();
        steps[current].start();
    });
    clock.start();
    tick.start(kTickMs);
    steps[0].start();
    if (app.exec() != 0) return 1;

    std::printf("Get Data ended with \"%s\"\n", qPrintable(message));
    std::printf("%-38s %10s %9s %19s %11s\n", "step", "took (ms)", "CPU (ms)", "longest stall (ms)", "rows shown");
    for (const Step& step : std::vector<Step>(steps.begin() + 1, steps.end()))
        std::printf("%-38s %10.1f %9.1f %19.1f %11d\n", step.name, step.tookUs / 1000.0, step.cpuUs / 1000.0,
                    step.longestGapUs / 1000.0, step.rowsShown);
    std::printf("target: no stall over 50 ms\n");
    sim.terminate();
    sim.waitForFinished();
    return 0;
}
