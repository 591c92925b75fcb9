// How long the Linux window's event loop is ever blocked while "Get Data"
// fetches 10,000 records from kavrin-sim paced at 115200 baud (target:
// under 50 ms). A 1 ms timer runs on the window's thread throughout; the
// longest gap between two of its ticks is the longest time the window could
// not repaint or answer. The message box at the end is answered by the same
// timer, so its own event loop is measured too.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "qt/main_window.h"

namespace {

const char* const kRecords = "10000";
const char* const kBaud = "115200";
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

    enum class Phase { Connecting, Exporting } phase = Phase::Connecting;
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 exportStart = 0;
    std::vector<qint64> gapsUs;
    QString message;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed() / 1000;
        if (phase == Phase::Exporting) gapsUs.push_back(now - lastTick);
        lastTick = now;
        if (QString text = AnswerMessageBox(); !text.isEmpty()) message = text;
        if (!Button(window, "Get Cnt")->isEnabled()) return;
        if (phase == Phase::Connecting) {
            if (!Button(window, "Discon")) {
                std::fprintf(stderr, "could not connect to %s\n", qPrintable(port));
                app.exit(1);
                return;
            }
            phase = Phase::Exporting;
            exportStart = now;
            Button(window, "Get Data")->click();
        } else {
            app.quit();
        }
    });
    clock.start();
    tick.start(kTickMs);
    Button(window, "Connect")->click();
    if (app.exec() != 0) return 1;

    const double seconds = (lastTick - exportStart) / 1e6;
    std::sort(gapsUs.begin(), gapsUs.end());
    auto percentile = [&](double p) { return gapsUs[static_cast<size_t>(p * (gapsUs.size() - 1))] / 1000.0; };
    std::printf("Get Data of %s records at %s baud: \"%s\" after %.2f s, "
                "%zu ticks of a %d ms timer on the window's thread\n",
                kRecords, kBaud, qPrintable(message), seconds, gapsUs.size(), kTickMs);
    std::printf("gap between ticks: median %.2f ms, 99th percentile %.2f ms, longest %.2f ms (target: under 50 ms)\n",
                percentile(0.5), percentile(0.99), gapsUs.back() / 1000.0);
    sim.terminate();
    sim.waitForFinished();
    return 0;
}
