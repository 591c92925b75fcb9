// How long the Linux window's event loop is ever blocked, first while "Get
// Data" fetches 10,000 records from kavrin-sim paced at 115200 baud, then,
// in a second window over a book of 1,000,000 reads (big_book.h), while it
// shows a download of 100,000 reads from the book, sorts and filters it,
// finds a tag across the book and lists the animals missing and the reads
// unknown (target: under 100 ms; 50 ms for the table alone). A 1 ms timer runs on the window's thread
// throughout; the longest gap between two of its ticks is the longest time
// the window could not repaint or answer. The message box at the end of
// Get Data is answered by the same timer, so its own event loop is
// measured too. With each step goes the processor time the window's
// thread spent on it, which a loaded machine inflates less than the
// stalls. It also says whether the tag column lies inside the
// table's viewport at the window's first size.
//
// gui_latency_bench [BOOK]: the big book is built at BOOK (default: a
// folder in the system's temporary folder) unless it is there already.
#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
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
#include "big_book.h"
#include "qt/records_view.h"
#include "sim/virtual_reader.h"

namespace {

const char* const kRecords = "10000";
const char* const kBaud = "115200";
constexpr int kTableRows = kBigBookDownloadReads;
// The newest download of the big book, and a tag read in it.
constexpr int64_t kBigDownload = kBigBookDownloads;
const char* const kFoundTag = "982 000000987654";
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
    auto* table = window.findChild<QTableView*>("records");
    const int tagRight = table->columnViewportPosition(kTagColumn) + table->columnWidth(kTagColumn);
    std::printf("first size: window %d x %d, table viewport %d px wide, tag column ends at %d px: %s\n",
                window.width(), window.height(), table->viewport()->width(), tagRight,
                tagRight <= table->viewport()->width() ? "visible" : "needs a scroll");

    // The big book in a window of its own, as a user's book of some years.
    const std::filesystem::path bigPath = argc > 1 ? std::filesystem::path(argv[1])
                                                   : std::filesystem::temp_directory_path() / "kavrin-records-bench" /
                                                         "records.db";
    {
        Book book;
        if (!OpenBigBook(bigPath, book)) return 1;
    }
    MainWindow bigWindow(port, {true, bigPath});
    bigWindow.show();
    auto* bigRecords = bigWindow.findChild<RecordsView*>();
    auto* bigTable = bigWindow.findChild<QTableView*>("records");
    auto* bigFilter = bigWindow.findChild<QLineEdit*>("tagFilter");
    auto* shownTitle = bigWindow.findChild<QLabel*>("recordsCount");
    auto* animalsTitle = bigWindow.findChild<QLabel*>("animalsTitle");
    auto* animalsTable = bigWindow.findChild<QTableView*>("animals");
    auto* findTag = bigWindow.findChild<QLineEdit*>("findTag");
    auto press = [&](const char* name) { bigWindow.findChild<QPushButton*>(name)->click(); };
    auto titled = [](QLabel* label, const char* start) { return label->text().startsWith(start); };
    QString message;
    auto idle = [&] { return Button(window, "Get Cnt")->isEnabled(); };
    // Every row in the view, whatever fills it.
    auto tableHolds = [](QTableView* shown, int rows) {
        QAbstractItemModel* model = shown->model();
        return model->rowCount() == rows && model->index(rows - 1, kRowColumn).data().isValid();
    };
    auto firstRow = [&] { return bigTable->model()->index(0, kRowColumn).data().toInt(); };
    QElapsedTimer clock;
    std::vector<Step> steps;
    steps = {
        {"connect", [&] { Button(window, "Connect")->click(); }, [&] { return idle(); }},
        {"Get Data of 10,000 records", [&] { Button(window, "Get Data")->click(); },
         [&] { return idle() && !message.isEmpty() && tableHolds(table, 10000); }},
        {"show a download of 100,000 reads", [&] { bigRecords->ShowDownload(kBigDownload); },
         [&] { return tableHolds(bigTable, kTableRows); }},
        {"sort 100,000 rows by tag", [&] { bigTable->sortByColumn(kTagColumn, Qt::AscendingOrder); }, [] { return true; }},
        {"sort 100,000 rows by row, descending", [&] { bigTable->sortByColumn(kRowColumn, Qt::DescendingOrder); },
         [&] { return firstRow() == kTableRows; }},
        {"type \"982\" into the filter", [&] { bigFilter->setText("982"); }, [] { return true; }},
        {"type \"982 0\" into the filter", [&] { bigFilter->setText("982 0"); }, [] { return true; }},
        {"clear the filter", [&] { bigFilter->clear(); }, [] { return true; }},
        {"Find Tag in 1,000,000 reads",
         [&] {
             findTag->setText(kFoundTag);
             press("find");
         },
         [&] { return titled(shownTitle, "Every read of"); }},
        {"Missing... of every group", [&] { press("missing"); }, [&] { return titled(animalsTitle, "Animals of every group not"); }},
        {"Unknown... of 100,000 reads", [&] { press("unknown"); }, [&] { return titled(shownTitle, "Reads of download"); }},
        {"show the download again", [&] { bigRecords->ShowDownload(kBigDownload); },
         [&] { return titled(shownTitle, "Download 10:") && tableHolds(bigTable, kTableRows); }},
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
        step.rowsShown = current < 2 ? table->model()->rowCount()
                                     : bigRecords->currentIndex() == 2 ? animalsTable->model()->rowCount()
                                                                       : bigTable->model()->rowCount();
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
    std::printf("target: no stall over 100 ms\n");
    sim.terminate();
    sim.waitForFinished();
    return 0;
}
