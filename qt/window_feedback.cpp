#include "qt/window_feedback.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QMetaObject>

#include <algorithm>
#include <type_traits>

#include "ops/integer_field.h"

namespace {

const char* const kAppName = "Kavrin";
const char* const kFirmwareFilter = "BINARY FILE(*.bin)";
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

void WindowFeedback::SetConnectCaption(const std::string& caption) {
    Post(w_.window, [this, text = Text(caption)] { w_.connect->setText(text); });
}

// The window enables the button itself once the work has ended.
void WindowFeedback::EnableUpgrade(bool enabled) {
    Post(w_.window, [this, enabled] { upgradeAllowed_ = enabled; });
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

void WindowFeedback::SetProgress(int position) {
    Post(w_.window, [this, position] { w_.progress->setValue(std::clamp(position, 0, kProgressEnd)); });
}

void WindowFeedback::ShowRecordsFetched(long long fetched, long long total) {
    // A reader may hand out more records than it counted.
    SetProgress(total > 0 ? static_cast<int>(std::min(fetched, total) * kProgressEnd / total) : kProgressEnd);
}

bool WindowFeedback::PullFields() { return Ask(w_.window, [this] { return PullFieldsHere(); }); }

void WindowFeedback::PushFields() {
    Post(w_.window, [this, count = m_nRecordCount, minutes = m_nPowerDownMin] { PushFieldsHere(count, minutes); });
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
        QString path = QFileDialog::getOpenFileName(w_.window, QString(), QString(), kFirmwareFilter);
        if (path.isEmpty()) return std::nullopt;
        return QFile::encodeName(path).toStdString();
    });
}

bool WindowFeedback::PullFieldsHere() {
    std::optional<int> count = ParseIntegerField(w_.recordCount->text().toStdString());
    if (!count) return FailOn(w_.recordCount, kNotAnInteger);
    m_nRecordCount = *count;
    std::optional<int> minutes = ParseIntegerField(w_.powerDown->text().toStdString());
    if (!minutes) return FailOn(w_.powerDown, kNotAnInteger);
    m_nPowerDownMin = *minutes;
    if (!PowerDownInRange(m_nPowerDownMin))
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
