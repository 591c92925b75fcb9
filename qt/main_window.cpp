#include "qt/main_window.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include <filesystem>
#include <system_error>

#include "doctor/connect_failure.h"
#include "formats/csv_forms_writer.h"
#include "link/utf8_path.h"
#include "ops/connection.h"
#include "ops/export.h"
#include "ops/housekeeping.h"
#include "ops/integer_field.h"
#include "ops/upgrade.h"
#include "ops/state.h"
#include "qt/export_forms_setting.h"

namespace {

const char* const kTitle = "Kavrin";
const char* const kCloseDuringWork = "The reader is still at work. Stop after the current request and close?";
const char* const kCloseDuringUpgrade =
    "The firmware is still being sent. Stopping now leaves the reader without working firmware until the upgrade "
    "is run again. Stop after the current block and close?";

// "Get Data" into the working directory, as on Windows, in the forms
// chosen (the defaults write the Windows file); the log then says where the
// file is, whatever became of the export.
void GetData(Feedback& ui, const ExportForms& forms) {
    CsvFormsWriter writer(forms);
    std::error_code error;
    // Should the working directory be gone, the bare name fails to open and says so.
    ExportResult result = ExportRecords(ui, g_hComm, std::filesystem::current_path(error), writer);
    if (!result.file.empty()) ui.AppendLog(Utf8FromPath(std::filesystem::absolute(result.file, error)));
}

// The operation's own lines, and one more where the reader refused a
// command without the window's lines saying so.
template <auto Operation>
void Run(Feedback& ui, const ExportForms&) {
    const OpResult result = Operation(ui);
    if (result.outcome == Outcome::Refused) ui.AppendLog(RefusalText(result));
}

// Connect's lines, and after a failed connection one more that says why.
void Connect(Feedback& ui, const ExportForms&) {
    const std::string port = ui.SelectedPort();
    const ConnectResult result = OnBnClickedConnect(ui);
    if (result.outcome == Outcome::PortFailed || result.outcome == Outcome::TransactionFailed)
        ui.AppendLog(ConnectFailureLine(port, result));
    else if (result.VersionAnswer().outcome == Outcome::Refused)
        ui.AppendLog(RefusalText(result.VersionAnswer()));
}

struct ButtonRoute {
    QPushButton* WindowWidgets::*button;
    Operation operation;
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
    OfferExportForms(widgets_.idForm, widgets_.dateForm);
    for (const ButtonRoute& route : kButtonMap) {
        Operation operation = route.operation;
        QObject::connect(widgets_.*route.button, &QPushButton::clicked, this, [this, operation] { Start(operation); });
    }
    if (!port.isEmpty()) widgets_.port->Preset(port);
    widgets_.upgrade->setEnabled(false);
    feedback_.m_nPowerDownMin = kPowerDownMinAtStart;
    feedback_.PushFieldsHere(feedback_.m_nRecordCount, feedback_.m_nPowerDownMin);
}

void MainWindow::Start(Operation operation) {
    if (busy_) return;
    running_ = operation;
    // As they stand at the press: the boxes belong to the window's thread.
    const ExportForms forms = ChosenExportForms(widgets_.idForm, widgets_.dateForm);
    SetBusy(true);
    worker_.Run([this, operation, forms] { operation(feedback_, forms); }, this, [this] { Finished(); });
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
    widgets_.idForm->setEnabled(!busy);
    widgets_.dateForm->setEnabled(!busy);
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
