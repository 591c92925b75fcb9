// The controls of the Linux window, with the captions of the Windows
// dialog: the groups Comm, Config, Record and Upgrade on the left, the log
// list under them (the dialog has it beside them) and under the log why
// Connect failed; the records (records_view.h) take the right, so that the
// window fits a screen 1024 pixels wide with the tag in sight. Qt layouts
// size every control from its text, so nothing clips at any font size or
// scale factor. The controls are
// created in the dialog's tab order. Beyond the dialog, the Record group
// chooses the forms Get Data writes the ID and the time in, and holds the
// box that downloads each reader plugged in.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include "qt/port_box.h"
#include "qt/records_view.h"

struct WindowWidgets {
    QWidget* window = nullptr;
    PortBox* port = nullptr;
    QPushButton* connect = nullptr;
    QComboBox* file = nullptr;
    QPushButton* browse = nullptr;
    QPushButton* upgrade = nullptr;
    QProgressBar* progress = nullptr;
    QListWidget* log = nullptr;
    QLabel* diagnosis = nullptr;  // why Connect failed, under the log; hidden while there is nothing to say
    QPushButton* syncTime = nullptr;
    QLineEdit* powerDown = nullptr;
    QPushButton* deleteAll = nullptr;
    QPushButton* getData = nullptr;
    QPushButton* getCnt = nullptr;
    QLineEdit* recordCount = nullptr;
    QComboBox* idForm = nullptr;
    QComboBox* dateForm = nullptr;
    QCheckBox* watch = nullptr;  // "Download readers when plugged in" (window_watch.h)
    QPushButton* set = nullptr;
    QPushButton* get = nullptr;
    RecordsView* records = nullptr;
};

// Creates the controls inside `window` and lays them out.
WindowWidgets LayOutWindow(QWidget* window);
