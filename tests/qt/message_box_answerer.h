// Answers the window's message boxes in a Qt Test.
//
// A message box runs its own event loop, so a test cannot wait for it and
// then click: this object looks for one from a timer inside that loop,
// notes what it says and which button is the default, and presses the
// button it was told to (the default one unless told otherwise).
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

struct SeenMessage {
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::optional<QMessageBox::StandardButton> answer = std::nullopt) : answer_(answer) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
        timer_.start(10);
    }

    void SetAnswer(QMessageBox::StandardButton answer) { answer_ = answer; }
    // Leaves every box open until `ready` holds, as a user who is slow to answer.
    void AnswerOnlyWhen(std::function<bool()> ready) { ready_ = std::move(ready); }
    const std::vector<SeenMessage>& Seen() const { return seen_; }

private:
    void Answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || (ready_ && !ready_())) return;
        SeenMessage seen{box->text(), box->standardButtons(), QMessageBox::NoButton, box->icon()};
        if (box->defaultButton()) seen.defaultButton = box->standardButton(box->defaultButton());
        seen_.push_back(seen);
        QAbstractButton* press = answer_ ? box->button(*answer_) : box->defaultButton();
        if (!press) press = box->buttons().front();
        press->click();
    }

    QTimer timer_;
    std::optional<QMessageBox::StandardButton> answer_;
    std::function<bool()> ready_;
    std::vector<SeenMessage> seen_;
};
