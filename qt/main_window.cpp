#include "qt/main_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>

#include <filesystem>
#include <system_error>

#include "book/book.h"
#include "doctor/doctor.h"
#include "formats/formats.h"
#include "link/utf8_path.h"
#include "ops/connection.h"
#include "ops/export.h"
#include "ops/housekeeping.h"
#include "ops/integer_field.h"
#include "ops/upgrade.h"
#include "qt/export_forms_setting.h"
#include "qt/records_view.h"

namespace {

const char* const kTitle = "Kavrin";
const char* const kCloseDuringWork = "The reader is still at work. Stop after the current request and close?";
const char* const kCloseDuringUpgrade =
    "The firmware is still being sent. Stopping now leaves the reader without working firmware until the upgrade "
    "is run again. Stop after the current block and close?";

const char* const kCsvFormat = "csv";
// At first the records take the room a screen 1024 pixels wide leaves them, frame included.
constexpr QSize kFirstSize(1000, 700);

// One more line where the reader refused a command without the window's
// lines saying so.
void SayRefusal(Feedback& ui, const OpResult& result) {
    if (result.outcome == Outcome::Refused) ui.AppendLog(RefusalText(result));
}

// Connect's lines, and after a failed connection one more that says why,
// with every finding of the checks and its remedy under the log; the port
// and the reader's firmware version are kept for the book.
void Connect(WindowFeedback& ui, ReaderState& state, const WorkOrder&) {
    if (state.connected) {
        DisconnectReader(state.port);
        state.connected = false;
        ui.ShowConnected(false);
        return;
    }
    const std::string port = ui.SelectedPort();
    const ConnectResult result = ConnectReader(ui, port, state.port);
    state.connected = result.connected;
    state.portName = result.connected ? port : std::string();
    state.firmware = result.connected ? FirmwareText(result.major, result.minor) : std::string();
    ui.ShowConnected(state.connected);
    const bool failed = result.outcome == Outcome::PortFailed || result.outcome == Outcome::TransactionFailed;
    ui.ShowDiagnosis(failed ? ConnectDiagnosis(port, result) : std::vector<Finding>{});
    if (failed)
        ui.AppendLog(ConnectFailureLine(port, result));
    else
        SayRefusal(ui, result.VersionAnswer());
}

void Browse(WindowFeedback& ui, ReaderState& state, const WorkOrder&) {
    std::optional<std::string> path = ui.ChooseFirmwareFile();
    if (!path) return;
    ui.AddFirmwareFile(*path);
    state.image.Close();
    state.image = std::move(OpenFirmwareImage(ui, *path).image);
}

void Upgrade(WindowFeedback& ui, ReaderState& state, const WorkOrder& order) {
    if (!ConfirmUpgrade(ui)) return;
    // A failed check has shown its own message; the upgrade goes on regardless.
    ui.PullFields(state.recordCount, state.powerDownMin);
    const UpgradeResult result = UpgradeFirmware(ui, state.port, state.image, true);
    if (result.started) ui.PushFields(state.recordCount, state.powerDownMin);
    SayRefusal(ui, result);
    // A finished upgrade disconnects: the reader restarts on its new firmware.
    if (result.Ok()) Connect(ui, state, order);
}

// "Get Data" into the working directory, as on Windows, in the forms
// chosen (the defaults write the Windows file), kept in the book too; the
// log then says what became of the book and where the file is, whatever
// became of the export, and the view shows the download's rows.
void GetData(WindowFeedback& ui, ReaderState& state, const WorkOrder& order) {
    CsvFormsWriter writer(order.forms);
    DownloadKeeping book(order.book, writer, {SystemClock().now(), state.portName, state.firmware, 0, {}, kCsvFormat});
    std::error_code error;
    // Should the working directory be gone, the bare name fails to open and says so.
    ExportResult result = ExportRecords(ui, state.port, std::filesystem::current_path(error), book.Writer(writer));
    book.Finish(result);
    if (const std::string line = book.Line(); !line.empty()) ui.AppendLog(line);
    if (!result.file.empty()) ui.AppendLog(Utf8FromPath(std::filesystem::absolute(result.file, error)));
    if (book.Number() != 0)
        QMetaObject::invokeMethod(order.records, [records = order.records, number = book.Number()] {
            records->ShowDownload(number);
        }, Qt::QueuedConnection);
}

void GetCnt(WindowFeedback& ui, ReaderState& state, const WorkOrder&) {
    const CountResult result = CountRecords(ui, state.port);
    if (result.outcome == Outcome::TransactionFailed) return;
    // The field is a signed int: counts of 2^31 and above show negative.
    state.recordCount = static_cast<int32_t>(result.count);
    ui.PushFields(state.recordCount, state.powerDownMin);
    SayRefusal(ui, result);
}

void DeleteAll(WindowFeedback& ui, ReaderState& state, const WorkOrder&) {
    const DeleteResult sent = DeleteAllRecords(ui, state.port, ConfirmDelete(ui));
    if (!sent.sent) return;
    ui.PullFields(state.recordCount, state.powerDownMin);
    ui.ShowWaitCursor(true);
    AwaitDeletion(ui);
    ui.ShowWaitCursor(false);
    SayRefusal(ui, sent);
}

void SyncTime(WindowFeedback& ui, ReaderState& state, const WorkOrder&) {
    SayRefusal(ui, SyncClock(ui, state.port, SystemClock().now()));
}

void SetMinutes(WindowFeedback& ui, ReaderState& state, const WorkOrder&) {
    // A value out of range has already shown its own message here.
    ui.PullFields(state.recordCount, state.powerDownMin);
    SayRefusal(ui, SetPowerDown(ui, state.port, state.powerDownMin));
}

void GetMinutes(WindowFeedback& ui, ReaderState& state, const WorkOrder&) {
    const PowerDownResult result = GetPowerDown(ui, state.port);
    if (result.outcome != Outcome::TransactionFailed) state.powerDownMin = result.minutes;
    ui.PushFields(state.recordCount, state.powerDownMin);
    SayRefusal(ui, result);
}

struct ButtonRoute {
    QPushButton* WindowWidgets::*button;
    Operation operation;
};

const ButtonRoute kButtonMap[] = {
    {&WindowWidgets::connect, Connect},   {&WindowWidgets::browse, Browse},     {&WindowWidgets::upgrade, Upgrade},
    {&WindowWidgets::getData, GetData},   {&WindowWidgets::getCnt, GetCnt},     {&WindowWidgets::deleteAll, DeleteAll},
    {&WindowWidgets::syncTime, SyncTime}, {&WindowWidgets::set, SetMinutes},    {&WindowWidgets::get, GetMinutes},
};

}  // namespace

MainWindow::MainWindow(const QString& port, const BookChoice& book, ReaderSource readers)
    : widgets_(LayOutWindow(this)), feedback_(widgets_), book_(book) {
    setWindowTitle(kTitle);
    resize(sizeHint().expandedTo(kFirstSize).boundedTo(screen()->availableGeometry().size()));
    OfferExportForms(widgets_.idForm, widgets_.dateForm);
    RecordsView* records = widgets_.records;
    watch_ = std::make_unique<WindowWatch>(widgets_, feedback_, book_,
                                           [records](int64_t number) { records->ShowDownload(number); },
                                           std::move(readers));
    for (const ButtonRoute& route : kButtonMap) {
        Operation operation = route.operation;
        QObject::connect(widgets_.*route.button, &QPushButton::clicked, this, [this, operation] { Start(operation); });
    }
    if (!port.isEmpty()) widgets_.port->Preset(port);
    widgets_.upgrade->setEnabled(false);
    feedback_.PushFieldsHere(state_.recordCount, state_.powerDownMin);
    records->UseBook(book_);
    records->ShowDownload(0);
}

void MainWindow::Start(Operation operation) {
    if (busy_) return;
    running_ = operation;
    // As they stand at the press: the boxes belong to the window's thread.
    const WorkOrder order{ChosenExportForms(widgets_.idForm, widgets_.dateForm), book_, widgets_.records};
    SetBusy(true);
    worker_.Run([this, operation, order] { operation(feedback_, state_, order); }, this, [this] { Finished(); });
}

void MainWindow::Finished() {
    SetBusy(false);
    if (closeWhenDone_) close();
}

void MainWindow::SetBusy(bool busy) {
    busy_ = busy;
    for (const ButtonRoute& route : kButtonMap) (widgets_.*route.button)->setEnabled(!busy);
    widgets_.upgrade->setEnabled(!busy && feedback_.Connected());
    widgets_.port->setEnabled(!busy && !feedback_.Connected());
    widgets_.idForm->setEnabled(!busy);
    widgets_.dateForm->setEnabled(!busy);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!busy_) {
        event->accept();
        return;
    }
    const char* question = running_ == Upgrade ? kCloseDuringUpgrade : kCloseDuringWork;
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
        if (busy_ || feedback_.PullFieldsHere(state_.recordCount, state_.powerDownMin)) close();
        return;
    default: QWidget::keyPressEvent(event);
    }
}
