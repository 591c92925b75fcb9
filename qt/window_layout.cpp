#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "qt/window_widgets.h"

namespace {

// Wide enough for any count the reader reports, sign included.
const char* const kWidestCount = "-2147483648";
constexpr int kLogCharacters = 44;
constexpr int kFileCharacters = 16;

QPushButton* Button(const char* caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    // Enter on a focused button presses it, as in a dialog.
    button->setAutoDefault(true);
    return button;
}

QLineEdit* NumberField(const char* name, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    const QFontMetrics metrics = field->fontMetrics();
    field->setMinimumWidth(metrics.horizontalAdvance(kWidestCount) + 2 * metrics.averageCharWidth());
    field->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    return field;
}

QLabel* LabelFor(const char* caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

WindowWidgets LayOutWindow(QWidget* window) {
    WindowWidgets w;
    w.window = window;

    auto* comm = new QGroupBox("Comm", window);
    w.port = new PortBox(comm);
    QLabel* portLabel = LabelFor("CommPort", w.port, comm);
    w.connect = Button("Connect", comm);
    auto* commGrid = new QGridLayout(comm);
    commGrid->addWidget(portLabel, 0, 0);
    commGrid->addWidget(w.port, 0, 1);
    commGrid->addWidget(w.connect, 1, 0, 1, 2);
    commGrid->setRowStretch(2, 1);

    auto* upgradeGroup = new QGroupBox("Upgrade", window);
    w.file = new QComboBox(upgradeGroup);
    w.file->setObjectName("firmwareFile");
    w.file->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    w.file->setMinimumContentsLength(kFileCharacters);
    w.file->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QLabel* fileLabel = LabelFor("File", w.file, upgradeGroup);
    w.browse = Button("Browse", upgradeGroup);
    w.upgrade = Button("Upgrade", upgradeGroup);
    w.progress = new QProgressBar(upgradeGroup);
    w.progress->setAccessibleName("Progress");
    w.progress->setTextVisible(false);
    auto* upgradeGrid = new QGridLayout(upgradeGroup);
    upgradeGrid->addWidget(fileLabel, 0, 0);
    upgradeGrid->addWidget(w.file, 0, 1);
    upgradeGrid->addWidget(w.browse, 0, 2);
    upgradeGrid->addWidget(w.progress, 1, 0, 1, 2);
    upgradeGrid->addWidget(w.upgrade, 1, 2);

    w.log = new QListWidget(window);
    w.log->setAccessibleName("Log");
    w.log->setMinimumWidth(w.log->fontMetrics().averageCharWidth() * kLogCharacters);

    auto* config = new QGroupBox("Config", window);
    w.syncTime = Button("Sync Time", config);
    w.powerDown = NumberField("powerDown", config);

    auto* record = new QGroupBox("Record", window);
    w.deleteAll = Button("Delete All", record);
    w.getData = Button("Get Data", record);
    w.getCnt = Button("Get Cnt", record);
    w.recordCount = NumberField("recordCount", record);
    QLabel* countLabel = LabelFor("Records Cnt", w.recordCount, record);
    w.idForm = new QComboBox(record);
    w.idForm->setObjectName("idForm");
    QLabel* idFormLabel = LabelFor("ID form", w.idForm, record);
    w.dateForm = new QComboBox(record);
    w.dateForm->setObjectName("dateForm");
    QLabel* dateFormLabel = LabelFor("Date form", w.dateForm, record);
    w.watch = new QCheckBox("Download readers when plugged in", record);
    w.watch->setObjectName("watch");
    auto* recordGrid = new QGridLayout(record);
    recordGrid->addWidget(countLabel, 0, 0);
    recordGrid->addWidget(w.recordCount, 0, 1, Qt::AlignLeft);
    recordGrid->addWidget(w.getCnt, 1, 0);
    recordGrid->addWidget(w.getData, 1, 1);
    recordGrid->addWidget(w.deleteAll, 1, 2);
    recordGrid->addWidget(idFormLabel, 2, 0);
    recordGrid->addWidget(w.idForm, 2, 1);
    recordGrid->addWidget(dateFormLabel, 3, 0);
    recordGrid->addWidget(w.dateForm, 3, 1);
    recordGrid->addWidget(w.watch, 4, 0, 1, 3);

    QLabel* powerLabel = LabelFor("Auto PwrDwn Time", w.powerDown, config);
    auto* minutes = new QLabel("min", config);
    w.set = Button("Set", config);
    w.get = Button("Get", config);
    auto* configGrid = new QGridLayout(config);
    configGrid->addWidget(w.syncTime, 0, 0, 1, 2);
    configGrid->addWidget(powerLabel, 1, 0, 1, 2);
    configGrid->addWidget(w.powerDown, 2, 0);
    configGrid->addWidget(minutes, 2, 1);
    configGrid->addWidget(w.get, 3, 0);
    configGrid->addWidget(w.set, 3, 1);

    w.records = new RecordsView(window);
    w.diagnosis = new QLabel(window);
    w.diagnosis->setObjectName("diagnosis");
    w.diagnosis->setAccessibleName("Why the reader was not reached");
    w.diagnosis->setWordWrap(true);
    w.diagnosis->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    w.diagnosis->hide();

    auto* topRow = new QHBoxLayout;
    topRow->addWidget(comm);
    topRow->addWidget(config);
    auto* left = new QVBoxLayout;
    left->addLayout(topRow);
    left->addWidget(record);
    left->addWidget(upgradeGroup);
    left->addWidget(w.log, 1);
    left->addWidget(w.diagnosis);
    auto* columns = new QHBoxLayout(window);
    columns->addLayout(left);
    columns->addWidget(w.records, 1);
    return w;
}
