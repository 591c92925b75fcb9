#include "qt/main_window.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include <filesystem>
#include <system_error>

#include "doctor/connect_failure.h"
#include "link/utf8_path.h"
#include "ops/connection.h"
#include "ops/export.h"
#include "ops/housekeeping.h"
#include "ops/integer_field.h"
#include "ops/upgrade.h"

namespace {

const char* const kTitle = "Kavrin";
const char* const kCloseDuringWork = "The reader is still at work. Stop after the current request and close?";
const char* const kCloseDuringUpgrade =
    "The firmware is still being sent. Stopping now leaves the reader without working firmware until the upgrade "
    "is run again. Stop after the current block and close?";

// "Get Data" into the working directory, as on Windows; the log then says
// where the file is, whatever became of the export.
void GetData(Feedback& ui) {
    ExportResult result = OnBnClickedGetData(ui);
    std::error_code error;
    if (!result.file.empty()) ui.AppendLog(Utf8FromPath(std::filesystem::absolute(result.file, error)));
}

// The operation's own lines, and one more where the reader refused a
// command without the window's lines saying so.
template <auto Operation>
void Run(Feedback& ui) {
    const OpResult result = Operation(ui);
    if (result.outcome == Outcome::Refused) ui.AppendLog(RefusalText(result));
}

// Connect's lines, and after a failed connection one more that says why.
void Connect(Feedback& ui) {
    const std::string port = ui.SelectedPort();
    const ConnectResult result = OnBnClickedConnect(ui);
    if (result.outcome == Outcome::PortFailed || result.outcome == Outcome::TransactionFailed)
        ui.AppendLog(ConnectFailureLine(port, result));
    else if (result.VersionAnswer().outcome == Outcome::Refused)
        ui.AppendLog(RefusalText(result.VersionAnswer()));
}

struct ButtonRoute {
    QPushButton* WindowWidgets::*button;
    void (*operation)(Feedback& ui);
};

const ButtonRoute kButtonMap[] = {
    {&WindowWidgets::connect, Connect},
    {&WindowWidgets::browse, Run<OnBnClickedBrowse>},
    {&WindowWidgets::upgrade, Run<OnBnClickedUpgrade>},
    {&WindowWidgets::getData, GetData},
    {&WindowWidgets::getCnt, Run<OnBnClickedGetCnt>},
    {&WindowWidgets::deleteAll, Run<OnBnClickedDeleteAll>},
    {&WindowWidgets::syncTime, Run<OnBnClickedSyncTime>},
    {&WindowWidgets::set, Run<OnBnClickedSetPowerDown>},
    {&WindowWidgets::get, Run<OnBnClickedGetPowerDown>},
};

}  // namespace

MainWindow::MainWindow(const QString& port) : widgets_(LayOutWindow(this)), feedback_(widgets_) {
    setWindowTitle(kTitle);
    for (const ButtonRoute& route : kButtonMap) {
        void (*operation)(Feedback&) = route.operation;
        QObject::connect(widgets_.*route.button, &QPushButton::clicked, this, [this, operation] { Start(operation); });
    }
    if (!port.isEmpty()) widgets_.port->Preset(port);
    widgets_.upgrade->setEnabled(false);
    feedback_.m_nPowerDownMin = kPowerDownMinAtStart;
    feedback_.PushFieldsHere(feedback_.m_nRecordCount, feedback_.m_nPowerDownMin);
}

void MainWindow::Start(void (*operation)(Feedback& ui)) {
    if (busy_) return;
    running_ = operation;
    SetBusy(true);
    worker_.Run([this, operation] { operation(feedback_); }, this, [this] { Finished(); });
}

void MainWindow::Finished() {
    SetBusy(false);
    if (closeWhenDone_) close();
}

void MainWindow::SetBusy(bool busy) {
    busy_ = busy;
    for (const ButtonRoute& route : kButtonMap) (widgets_.*route.button)->setEnabled(!busy);
    widgets_.upgrade->setEnabled(!busy && feedback_.UpgradeAllowed());
    widgets_.port->setEnabled(!busy);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!busy_) {
        event->accept();
        return;
    }
    const char* question = running_ == Run<OnBnClickedUpgrade> ? kCloseDuringUpgrade : kCloseDuringWork;
    if (!closeWhenDone_ && !feedback_.ShowMessageHere(question, Feedback::Buttons::YesNo)) {
        event->ignore();
        return;
    }
    closeWhenDone_ = true;
    feedback_.RequestStop();
    // The work may have ended while the question was open; else Finished closes.
    if (busy_)
        event->ignore();
    else
        event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape: close(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The fields belong to the worker while it runs: close() asks first then.
        if (busy_ || feedback_.PullFieldsHere()) close();
        return;
    default: QWidget::keyPressEvent(event);
    }
}
