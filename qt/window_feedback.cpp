#include "qt/window_feedback.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QMetaObject>

#include <algorithm>
#include <type_traits>

#include "ops/connection.h"
#include "ops/integer_field.h"
#include "qt/file_dialogs.h"

namespace {

const char* const kAppName = "Kavrin";
const char* const kFirmwareFilter = "BINARY FILE(*.bin)";
const char* const kLineEnd = "\n";
constexpr int kProgressEnd = 100;

template <typename F>
void Post(QObject* window, F&& action) {
    QMetaObject::invokeMethod(window, std::forward<F>(action), Qt::QueuedConnection);
}

template <typename F>
std::invoke_result_t<F> Ask(QObject* window, F&& question) {
    std::invoke_result_t<F> answer{};
    QMetaObject::invokeMethod(window, [&] { answer = question(); }, Qt::BlockingQueuedConnection);
    return answer;
}

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

WindowFeedback::WindowFeedback(const WindowWidgets& widgets) : w_(widgets) {}

void WindowFeedback::AppendLog(const std::string& text) {
    Post(w_.window, [this, line = Text(text)] { w_.log->addItem(line); });
}

// The window enables and disables the controls itself once the work has ended.
void WindowFeedback::ShowConnected(bool connected) {
    Post(w_.window, [this, connected] {
        w_.connect->setText(connected ? kDisconnectCaption : kConnectCaption);
        connected_ = connected;
    });
}

void WindowFeedback::ShowDiagnosis(const std::vector<Finding>& findings) {
    Post(w_.window, [this, text = Text(FindingsText(findings, kLineEnd)).trimmed()] {
        w_.diagnosis->setText(text);
        w_.diagnosis->setVisible(!text.isEmpty());
    });
}

std::string WindowFeedback::SelectedPort() {
    return Ask(w_.window, [this] { return QFile::encodeName(w_.port->SelectedPath()).toStdString(); });
}

void WindowFeedback::AddFirmwareFile(const std::string& path) {
    Post(w_.window, [this, file = QFile::decodeName(path.c_str())] {
        w_.file->addItem(file);
        w_.file->setCurrentIndex(0);
    });
}

void WindowFeedback::ShowProgress(Work, long long done, long long total) {
    // A reader may hand out more records than it counted, or count none.
    const int position = total > 0 ? static_cast<int>(std::min(done, total) * kProgressEnd / total) : kProgressEnd;
    Post(w_.window, [this, position] { w_.progress->setValue(position); });
}

bool WindowFeedback::PullFields(int& recordCount, int& powerDownMin) {
    return Ask(w_.window, [&] { return PullFieldsHere(recordCount, powerDownMin); });
}

void WindowFeedback::PushFields(int recordCount, int powerDownMin) {
    Post(w_.window, [this, recordCount, powerDownMin] { PushFieldsHere(recordCount, powerDownMin); });
}

bool WindowFeedback::ShowMessage(const std::string& text, Buttons buttons) {
    return Ask(w_.window, [&] { return ShowMessageHere(text, buttons); });
}

void WindowFeedback::ShowWaitCursor(bool on) {
    Post(w_.window, [this, on] {
        if (on == waitCursor_) return;
        waitCursor_ = on;
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
}

std::optional<std::string> WindowFeedback::ChooseFirmwareFile() {
    return Ask(w_.window, [this]() -> std::optional<std::string> {
        QString path = ChooseFileToOpen(w_.window, QString(), kFirmwareFilter);
        if (path.isEmpty()) return std::nullopt;
        return QFile::encodeName(path).toStdString();
    });
}

bool WindowFeedback::PullFieldsHere(int& recordCount, int& powerDownMin) {
    std::optional<int> count = ParseIntegerField(w_.recordCount->text().toStdString());
    if (!count) return FailOn(w_.recordCount, kNotAnInteger);
    recordCount = *count;
    std::optional<int> minutes = ParseIntegerField(w_.powerDown->text().toStdString());
    if (!minutes) return FailOn(w_.powerDown, kNotAnInteger);
    powerDownMin = *minutes;
    if (!PowerDownInRange(powerDownMin))
        return FailOn(w_.powerDown, kPowerDownOutOfRange);
    return true;
}

void WindowFeedback::PushFieldsHere(int recordCount, int powerDownMin) {
    w_.recordCount->setText(QString::number(recordCount));
    w_.powerDown->setText(QString::number(powerDownMin));
}

bool WindowFeedback::ShowMessageHere(const std::string& text, Buttons buttons) {
    QMessageBox box(QMessageBox::Warning, kAppName, Text(text), QMessageBox::NoButton, w_.window);
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    // A question that destroys data: a slip of the Enter key must answer No.
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    }
    const int pressed = box.exec();
    return pressed == QMessageBox::Ok || pressed == QMessageBox::Yes;
}

bool WindowFeedback::FailOn(QLineEdit* field, const char* message) {
    ShowMessageHere(message, Buttons::Ok);
    field->setFocus();
    field->selectAll();
    return false;
}
