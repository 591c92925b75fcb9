// The Linux window against the virtual reader on a pty, on the offscreen
// platform: buttons pressed as a user would, the log, the message boxes and
// the files read back.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "message_box_answerer.h"
#include "qt/main_window.h"
#include "qt/port_box.h"
#include "qt/records_model.h"
#include "sim/virtual_reader.h"
#include "watch/named_ports.h"

namespace fs = std::filesystem;

namespace {

constexpr int kBound = 20000;  // ms: generous, for a loaded machine

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<fs::path> FilesIn(const QString& dir) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir.toStdString())) files.push_back(entry.path());
    return files;
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void connectLogsTheVersionAndAllowsUpgrade();
    void aRefusedClockSyncGetsALineOfItsOwn();
    void getDataWritesTheFileTheCommandLineWrites();
    void getDataWritesTheFormsChosenWhichAreKept();
    void getDataShowsTheRecordsAndWhatIsNewToTheBook();
    void aSilentReaderLeavesTheWindowAnswering();
    void aFieldOutOfRangeIsRefusedBeforeAnythingIsSent();
    void deleteAllAsksAndNoIsTheDefault();
    void closingDuringGetDataAsksThenStopsAndSaysWhatItSaved();
    void closingDuringUpgradeWarnsThenStopsAfterTheBlockInFlight();
    void aCloseAnsweredAfterTheWorkHasEndedStillCloses();
    void thePortListOffersThePairedReadersByName();
    void theWatchBoxReadsEachReaderThatAppearsAndIsKept();
    void theAnimalsNotReadAndTheReadsNotKnown();
    void aBookThatIsNotABookIsSaidAndLeftAlone();

private:
    QPushButton* Button(const QString& caption) {
        for (QPushButton* button : window->findChildren<QPushButton*>())
            if (button->text() == caption) return button;
        return nullptr;
    }
    QStringList Log() {
        QStringList lines;
        auto* list = window->findChild<QListWidget*>();
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        return lines;
    }
    bool Idle() { return Button("Get Cnt")->isEnabled(); }
    // Each case's own book, beside its settings.
    std::unique_ptr<MainWindow> NewWindow(ReaderSource readers = WatchAdapters) {
        return std::make_unique<MainWindow>(QString::fromStdString(reader->PortPath()),
                                            BookChoice{true, fs::path(settings->path().toStdString()) / "records.db"},
                                            std::move(readers));
    }
    void Press(const QString& caption) {
        QPushButton* button = Button(caption);
        QVERIFY2(button && button->isEnabled(), qPrintable(caption));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // "Browse", the file dialog answered with `path` as a user picks it.
    void Browse(const QString& path) {
        QTimer::singleShot(0, [path] { ChooseIn(path); });
        Press("Browse");
        QTRY_VERIFY_WITH_TIMEOUT(Idle(), kBound);
        QCOMPARE(window->findChild<QComboBox*>("firmwareFile")->currentText(), path);
    }
    // Types `path` into the file dialog once it shows, and opens it.
    static void ChooseIn(const QString& path) {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* name = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
        if (!name) {
            QTimer::singleShot(10, [path] { ChooseIn(path); });
            return;
        }
        name->setText(path);
        static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
    }
    void ConnectReader() {
        Press("Connect");
        QTRY_VERIFY_WITH_TIMEOUT(Idle(), kBound);
        QCOMPARE(Button("Discon") != nullptr, true);
        reader->ClearReceived();
    }

    std::unique_ptr<VirtualReader> reader;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<QTemporaryDir> settings;
};

void WindowTest::init() {
    reader = std::make_unique<VirtualReader>();
    std::string error;
    QVERIFY2(reader->Start(&error), error.c_str());
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(folder->path()));
    // The user's own settings stay untouched; each case starts from the defaults.
    settings = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings->path());
    window = NewWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void WindowTest::cleanup() {
    QTRY_VERIFY_WITH_TIMEOUT(Idle(), kBound);
    window.reset();
    reader.reset();
}

void WindowTest::connectLogsTheVersionAndAllowsUpgrade() {
    reader->SetVersion(2, 7);
    QVERIFY(!Button("Upgrade")->isEnabled());
    auto* port = window->findChild<PortBox*>();
    QVERIFY(port->isEnabled());
    ConnectReader();
    QCOMPARE(Log(), QStringList({"CommPort open success!", "Reader firmvare version:2.7"}));
    QVERIFY(Button("Upgrade")->isEnabled());
    QVERIFY2(!port->isEnabled(), "the port read is the port connected to");

    Press("Discon");
    QTRY_VERIFY_WITH_TIMEOUT(Idle(), kBound);
    QVERIFY(Button("Connect"));
    QVERIFY(!Button("Upgrade")->isEnabled());
    QVERIFY(port->isEnabled());
}

void WindowTest::aRefusedClockSyncGetsALineOfItsOwn() {
    ConnectReader();
    reader->AddFault({CMD_SET_TIME, FaultKind::Status, 5, 0, 1});
    Press("Sync Time");
    QTRY_VERIFY_WITH_TIMEOUT(Idle(), kBound);
    QCOMPARE(Log().mid(2), QStringList({"Sync time success.", "the reader refused the command (status 5)"}));
}

void WindowTest::getDataWritesTheFileTheCommandLineWrites() {
    reader->SetRecords(GenerateRecords(57));
    ConnectReader();
    MessageBoxAnswerer answerer;
    Press("Get Data");
    QTRY_VERIFY_WITH_TIMEOUT(Idle() && answerer.Seen().size() == 1, kBound);
    QCOMPARE(answerer.Seen()[0].text, QString("Data has been saved!"));
    QCOMPARE(window->findChild<QProgressBar*>()->value(), 100);

    std::vector<fs::path> files = FilesIn(folder->path());
    QCOMPARE(files.size(), size_t{1});
    QCOMPARE(Log().last(), QString::fromStdString(fs::absolute(files[0]).string()));

    // The port is ours until we let it go; then the command line takes it.
    Press("Discon");
    QTRY_VERIFY_WITH_TIMEOUT(Idle(), kBound);
    QTemporaryDir cliFolder;
    QProcess cli;
    // Into the window's book, whose list then shows the download without being asked.
    const QString book = settings->path() + "/records.db";
    cli.start(KAVRIN_CLI, {"-p", QString::fromStdString(reader->PortPath()), "--book", book, "export", "-o",
                           cliFolder.path()});
    QVERIFY(cli.waitForFinished(kBound));
    QCOMPARE(cli.exitCode(), 0);
    auto* downloads = window->findChild<QListWidget*>("downloads");
    QTRY_COMPARE_WITH_TIMEOUT(downloads->count(), 2, kBound);
    std::vector<fs::path> cliFiles = FilesIn(cliFolder.path());
    QCOMPARE(cliFiles.size(), size_t{1});
    QVERIFY(ReadAll(files[0]).size() > 57 * 20);
    QVERIFY(ReadAll(files[0]) == ReadAll(cliFiles[0]));
}

void WindowTest::getDataWritesTheFormsChosenWhichAreKept() {
    reader->SetRecords(GenerateRecords(5));
    auto* idForm = window->findChild<QComboBox*>("idForm");
    auto* dateForm = window->findChild<QComboBox*>("dateForm");
    // Offered as they look; kept by their names.
    QCOMPARE(idForm->currentData().toString(), QString("split"));
    QCOMPARE(dateForm->currentData().toString(), QString("iso"));
    idForm->setCurrentIndex(idForm->findText("0982000123456789"));
    dateForm->setCurrentIndex(dateForm->findText("19/09/2021"));
    QCOMPARE(idForm->currentData().toString(), QString("eid16"));
    QCOMPARE(dateForm->currentData().toString(), QString("date"));
    ConnectReader();
    MessageBoxAnswerer answerer;
    Press("Get Data");
    QTRY_VERIFY_WITH_TIMEOUT(Idle() && answerer.Seen().size() == 1, kBound);
    std::vector<fs::path> files = FilesIn(folder->path());
    QCOMPARE(files.size(), size_t{1});
    const QStringList lines = QString::fromStdString(ReadAll(files[0])).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0], QString("INDEX,TYPE,EID,TIME"));
    const QRegularExpression row("^\\d+,(FDXB|HDX),\\d{16},\\d\\d/\\d\\d/\\d{4}$");
    for (const QString& line : lines.mid(1)) QVERIFY2(row.match(line).hasMatch(), qPrintable(line));

    // The next start shows the forms chosen.
    window = NewWindow();
    QCOMPARE(window->findChild<QComboBox*>("idForm")->currentText(), QString("0982000123456789"));
    QCOMPARE(window->findChild<QComboBox*>("dateForm")->currentText(), QString("19/09/2021"));
}

void WindowTest::getDataShowsTheRecordsAndWhatIsNewToTheBook() {
    // Twelve, so that a row number sorted as text ("10" before "2") shows.
    constexpr int kRows = 12;
    reader->SetRecords(GenerateRecords(kRows));
    auto* table = window->findChild<QTableView*>("records");
    auto* count = window->findChild<QLabel*>("recordsCount");
    auto* downloads = window->findChild<QListWidget*>("downloads");
    auto* filter = window->findChild<QLineEdit*>("tagFilter");
    QVERIFY(table && count && downloads && filter);
    QAbstractItemModel* shown = table->model();
    QAbstractItemModel* rows = qobject_cast<QSortFilterProxyModel*>(shown)->sourceModel();
    QVERIFY(rows);
    // At the window's first size the tag is in sight, before the rows and with them.
    auto tagInSight = [table] {
        const int left = table->columnViewportPosition(kTagColumn);
        return left >= 0 && left + table->columnWidth(kTagColumn) <= table->viewport()->width();
    };
    QVERIFY(tagInSight());

    ConnectReader();
    MessageBoxAnswerer answerer;
    Press("Get Data");
    QTRY_VERIFY_WITH_TIMEOUT(Idle() && rows->rowCount() == kRows && downloads->count() == 1, kBound);
    QCOMPARE(count->text(), QString("Download 1: 12 records, 12 new"));
    QVERIFY2(window->minimumSizeHint().width() <= 1024, "the window fits a screen 1024 pixels wide");
    QVERIFY(Log().contains("record book: download 1, 12 records, 12 new"));
    QVERIFY(tagInSight());

    // The model holds the file's rows in its order: row, type, country and tag, each new.
    std::vector<fs::path> files = FilesIn(folder->path());
    QCOMPARE(files.size(), size_t{1});
    const QStringList lines = QString::fromStdString(ReadAll(files[0])).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), kRows + 1);
    auto cell = [](QAbstractItemModel* model, int row, int column) { return model->index(row, column).data(); };
    QStringList tags;
    for (int row = 0; row < kRows; ++row) {
        const QStringList cells = lines[row + 1].split(',');
        for (int column = kRowColumn; column <= kTagColumn; ++column)
            QCOMPARE(cell(rows, row, column).toString(), cells[column]);
        QCOMPARE(cell(rows, row, kNewColumn).toString(), QString("new"));
        tags << cells[kTagColumn];
    }

    // Sorted by a click on a heading; the row as a number.
    QCOMPARE(shown->rowCount(), kRows);
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(kTagColumn) + header->sectionSize(kTagColumn) / 2,
                             header->height() / 2));
    const Qt::SortOrder tagOrder = header->sortIndicatorOrder();
    QCOMPARE(header->sortIndicatorSection(), int(kTagColumn));
    std::sort(tags.begin(), tags.end());
    if (tagOrder == Qt::DescendingOrder) std::reverse(tags.begin(), tags.end());
    for (int row = 0; row < kRows; ++row) QCOMPARE(cell(shown, row, kTagColumn).toString(), tags[row]);
    table->sortByColumn(kRowColumn, Qt::DescendingOrder);
    for (int row = 0; row < kRows; ++row) QCOMPARE(cell(shown, row, kRowColumn).toInt(), kRows - row);

    // Filtered by a tag, typed with its country and a space or without; the order stays.
    const int chosen = 9;  // its row number is 10
    const QStringList chosenCells = lines[chosen + 1].split(',');
    for (const QString& typed : {chosenCells[kTagColumn], chosenCells[kCountryColumn] + " " + chosenCells[kTagColumn],
                                 chosenCells[kCountryColumn] + chosenCells[kTagColumn].left(4)}) {
        filter->setText(typed);
        QVERIFY2(shown->rowCount() >= 1, qPrintable(typed));
        for (int row = 0; row < shown->rowCount(); ++row) {
            const QString both = cell(shown, row, kCountryColumn).toString() + cell(shown, row, kTagColumn).toString();
            QVERIFY2(both.contains(QString(typed).remove(' ')), qPrintable(typed));
            if (row > 0) QVERIFY(cell(shown, row - 1, kRowColumn).toInt() > cell(shown, row, kRowColumn).toInt());
        }
    }
    filter->setText(chosenCells[kTagColumn]);
    QCOMPARE(shown->rowCount(), 1);
    QCOMPARE(cell(shown, 0, kRowColumn).toInt(), 10);
    filter->setText("x");
    QCOMPARE(shown->rowCount(), 0);
    filter->clear();
    QCOMPARE(shown->rowCount(), kRows);

    // The same reads again are none of them new.
    Press("Get Data");
    QTRY_VERIFY_WITH_TIMEOUT(Idle() && downloads->count() == 2, kBound);
    QTRY_COMPARE_WITH_TIMEOUT(count->text(), QString("Download 2: 12 records, 0 new"), kBound);
    QCOMPARE(rows->rowCount(), kRows);
    for (int row = 0; row < kRows; ++row) QCOMPARE(cell(rows, row, kNewColumn).toString(), QString());

    // An earlier download, picked from the list, is shown again.
    emit downloads->itemActivated(downloads->item(0));
    QTRY_COMPARE_WITH_TIMEOUT(count->text(), QString("Download 1: 12 records, 12 new"), kBound);
    QCOMPARE(cell(rows, 0, kNewColumn).toString(), QString("new"));
}

void WindowTest::aSilentReaderLeavesTheWindowAnswering() {
    reader->AddFault({-1, FaultKind::Silent});
    Press("Connect");
    // The port opened and the reader is not answering: the window shows the
    // first line while the worker still waits, with no other work allowed.
    QTRY_VERIFY_WITH_TIMEOUT(Log() == QStringList{"CommPort open success!"}, kBound);
    QVERIFY(!Idle());
    for (const char* caption : {"Connect", "Get Data", "Get Cnt", "Delete All", "Sync Time", "Set", "Get", "Browse"})
        QVERIFY2(!Button(caption)->isEnabled(), caption);
    QTRY_VERIFY_WITH_TIMEOUT(Idle(), kBound);
    // The window's own lines, then why, which Kavrin.exe leaves out.
    QCOMPARE(Log(), QStringList({"CommPort open success!", "Connect reader failed!",
                                 QString::fromStdString(reader->PortPath()) +
                                     ": nothing answered in 2.8 s: is the reader switched on? it powers itself down "
                                     "after its power-down time"}));
    QVERIFY(!Button("Upgrade")->isEnabled());
    QVERIFY(Button("Connect"));

    // Under the log, why and what to do; gone once the reader answers.
    auto* diagnosis = window->findChild<QLabel*>("diagnosis");
    QVERIFY(diagnosis->isVisible());
    QVERIFY2(diagnosis->text().startsWith(QString::fromStdString(reader->PortPath()) + ": nothing answered in 2.8 s\n"
                                          "    What to do: is the reader switched on?"),
             qPrintable(diagnosis->text()));
    reader->ClearFaults();
    ConnectReader();
    QVERIFY(!diagnosis->isVisible());
}

void WindowTest::aFieldOutOfRangeIsRefusedBeforeAnythingIsSent() {
    ConnectReader();
    auto* minutes = window->findChild<QLineEdit*>("powerDown");
    QCOMPARE(minutes->text(), QString("10"));
    QCOMPARE(window->findChild<QLineEdit*>("recordCount")->text(), QString("0"));
    minutes->setText("61");
    MessageBoxAnswerer answerer;
    Press("Set");
    QTRY_VERIFY_WITH_TIMEOUT(Idle() && answerer.Seen().size() == 1, kBound);
    QCOMPARE(answerer.Seen()[0].text, QString("Please enter an integer between 1 and 60."));
    QCOMPARE(answerer.Seen()[0].icon, QMessageBox::Warning);
    QCOMPARE(Log().last(), QString("Params error."));
    QCOMPARE(minutes->selectedText(), QString("61"));
    QVERIFY(reader->Snapshot().received.empty());

    window->findChild<QLineEdit*>("recordCount")->setText("12a");
    Press("Set");
    QTRY_VERIFY_WITH_TIMEOUT(Idle() && answerer.Seen().size() == 2, kBound);
    QCOMPARE(answerer.Seen()[1].text, QString("Please enter an integer."));
    QVERIFY(reader->Snapshot().received.empty());
}

void WindowTest::deleteAllAsksAndNoIsTheDefault() {
    reader->SetRecords(GenerateRecords(3));
    ConnectReader();
    MessageBoxAnswerer answerer;
    Press("Delete All");
    QTRY_VERIFY_WITH_TIMEOUT(Idle() && answerer.Seen().size() == 1, kBound);
    QCOMPARE(answerer.Seen()[0].text, QString("Delete all records stored in the reader? This cannot be undone."));
    QCOMPARE(answerer.Seen()[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(answerer.Seen()[0].defaultButton, QMessageBox::No);
    QVERIFY(reader->Snapshot().received.empty());
    QCOMPARE(reader->Snapshot().records.size(), size_t{3});

    answerer.SetAnswer(QMessageBox::Yes);
    Press("Delete All");
    QTRY_VERIFY_WITH_TIMEOUT(Idle() && Log().endsWith("All records has been Deleted."), kBound);
    QVERIFY(reader->Snapshot().records.empty());
}

void WindowTest::closingDuringGetDataAsksThenStopsAndSaysWhatItSaved() {
    constexpr int kTotal = 3000;
    reader->SetRecords(GenerateRecords(kTotal));
    reader->SetBaud(115200);
    ConnectReader();
    auto* progress = window->findChild<QProgressBar*>();
    MessageBoxAnswerer answerer(QMessageBox::No);
    Press("Get Data");
    QTRY_VERIFY_WITH_TIMEOUT(progress->value() > 0, kBound);

    // No: the work goes on and the window stays.
    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(answerer.Seen().size() == 1, kBound);
    QCOMPARE(answerer.Seen()[0].defaultButton, QMessageBox::No);
    QVERIFY(window->isVisible());
    QVERIFY(!Idle());

    answerer.SetAnswer(QMessageBox::Yes);
    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), kBound);
    QVERIFY(Idle());
    QCOMPARE(answerer.Seen().size(), size_t{3});
    std::vector<fs::path> files = FilesIn(folder->path());
    QCOMPARE(files.size(), size_t{1});
    const std::string csv = ReadAll(files[0]);
    const long rows = std::count(csv.begin(), csv.end(), '\n') - 1;
    QVERIFY(rows > 0 && rows < kTotal);
    QCOMPARE(answerer.Seen()[2].text, QString("Only %1 of %2 records have been saved!").arg(rows).arg(kTotal));
    QCOMPARE(Log().last(), QString::fromStdString(fs::absolute(files[0]).string()));
}

void WindowTest::closingDuringUpgradeWarnsThenStopsAfterTheBlockInFlight() {
    constexpr int kImageBytes = 40000;
    const QString image = folder->filePath("image.bin");
    {
        std::ofstream out(image.toStdString(), std::ios::binary);
        out << std::string(kImageBytes, '\x5A');
    }
    reader->SetBaud(115200);
    ConnectReader();
    Browse(image);
    MessageBoxAnswerer answerer(QMessageBox::Ok);
    Press("Upgrade");
    QTRY_VERIFY_WITH_TIMEOUT(window->findChild<QProgressBar*>()->value() > 0, kBound);
    answerer.SetAnswer(QMessageBox::Yes);
    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), kBound);
    QCOMPARE(answerer.Seen().size(), size_t{2});
    QVERIFY(answerer.Seen()[1].text.contains("without working firmware"));
    const FirmwareState firmware = reader->Snapshot().firmware;
    QVERIFY(firmware.started);
    QVERIFY(firmware.blocks > 0 && firmware.blocks < kImageBytes / 128);
    QVERIFY(!firmware.finished);
}

void WindowTest::aCloseAnsweredAfterTheWorkHasEndedStillCloses() {
    reader->AddFault({-1, FaultKind::Silent});
    MessageBoxAnswerer answerer(QMessageBox::Yes);
    answerer.AnswerOnlyWhen([this] { return Idle(); });
    Press("Connect");
    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), kBound);
    QCOMPARE(answerer.Seen().size(), size_t{1});
    QVERIFY(Log().contains("Connect reader failed!"));
}

void WindowTest::thePortListOffersThePairedReadersByName() {
    // bluetoothd stood in for on a private bus (tests/bluez_standin.py).
    QTemporaryDir busFolder;
    const QString address = "unix:path=" + busFolder.path() + "/bus";
    QProcess bus;
    bus.start("dbus-daemon", {"--session", "--nofork", "--address=" + address});
    QVERIFY(bus.waitForStarted(kBound));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(busFolder.path() + "/bus"), kBound);
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());
    QProcess bluez;
    bluez.start(KAVRIN_PYTHON, {KAVRIN_BLUEZ_STANDIN});
    QVERIFY(bluez.waitForReadyRead(kBound));
    QCOMPARE(bluez.readLine().trimmed(), QByteArray("ready"));

    // As a user drops the list down: that reads the ports again.
    QComboBox* box = window->findChild<PortBox*>();
    box->showPopup();
    box->hidePopup();
    const int reader = box->findData("bt:00:1A:7D:DA:71:13");
    QVERIFY(reader >= 0);
    QCOMPARE(box->itemText(reader), QString("bt:00:1A:7D:DA:71:13  Reader 4711, Bluetooth"));
    QCOMPARE(box->findData("bt:00:1A:7D:DA:71:14"), -1);  // paired, but no Serial Port service
    QCOMPARE(box->findData("bt:00:1A:7D:DA:71:15"), -1);  // never paired

    qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    bluez.kill();
    bus.kill();
    bluez.waitForFinished();
    bus.waitForFinished();
}

// The reader's port stands in for an adapter plugged in: the watch finds it
// when it starts, as it finds an adapter plugged in before.
void WindowTest::theWatchBoxReadsEachReaderThatAppearsAndIsKept() {
    reader->SetRecords(GenerateRecords(12));
    const std::string port = reader->PortPath();
    const ReaderSource plugged = [port] { return AdapterWatch{WatchNamedPorts({port}), {}}; };
    window = NewWindow(plugged);
    window->show();
    auto* box = window->findChild<QCheckBox*>("watch");
    QVERIFY(box && !box->isChecked());
    box->click();
    const QString finished = QString::fromStdString(port + ": download finished: 12 records saved in ");
    const auto said = [&] { return Log().filter(finished).size(); };
    QTRY_COMPARE_WITH_TIMEOUT(said(), 1, kBound);
    QVERIFY(Log().contains(QString::fromStdString(port + ": Reader firmvare version:1.0")));
    QTRY_COMPARE_WITH_TIMEOUT(window->findChild<QTableView*>("records")->model()->rowCount(), 12, kBound);
    const std::vector<fs::path> files = FilesIn(folder->path());
    QCOMPARE(files.size(), size_t{1});
    QVERIFY(Log().filter(finished).first().endsWith(QString::fromStdString(fs::absolute(files[0]).string())));
    QCOMPARE(QString::fromStdString(ReadAll(files[0])).count("\r\n"), 13);

    // Kept: the next window watches from its start, and reads the reader it finds.
    window = NewWindow(plugged);
    box = window->findChild<QCheckBox*>("watch");
    QVERIFY(box->isChecked());
    QTRY_COMPARE_WITH_TIMEOUT(said(), 1, kBound);
    box->click();
    QTRY_VERIFY_WITH_TIMEOUT(box->isEnabled(), kBound);
    QVERIFY(!NewWindow()->findChild<QCheckBox*>("watch")->isChecked());
}

void WindowTest::theAnimalsNotReadAndTheReadsNotKnown() {
    const std::vector<TagBytes> records = GenerateRecords(4);
    reader->SetRecords(records);
    ConnectReader();
    MessageBoxAnswerer answerer;
    Press("Get Data");
    auto* shown = window->findChild<QTableView*>("records")->model();
    QTRY_VERIFY_WITH_TIMEOUT(Idle() && shown->rowCount() == 4, kBound);
    const QString first = shown->index(0, kCountryColumn).data().toString() + shown->index(0, kTagColumn).data().toString();

    // Two animals of group Heifers: the first read, one never read.
    const fs::path list = fs::path(folder->path().toStdString()) / "animals.csv";
    std::ofstream(list) << "tag,visual tag,group\r\n" << first.toStdString() << ",17,Heifers\r\n"
                        << "982000999999999,18,Heifers\r\n";
    QTimer::singleShot(0, [list] { ChooseIn(QString::fromStdString(list.string())); });
    Press("Import Animals...");
    QTRY_VERIFY_WITH_TIMEOUT(answerer.Seen().size() == 2, kBound);
    QCOMPARE(answerer.Seen().back().text, QString("2 animals imported from %1.").arg(list.c_str()));
    auto* group = window->findChild<QComboBox*>("group");
    QTRY_COMPARE_WITH_TIMEOUT(group->count(), 2, kBound);
    group->setCurrentIndex(1);

    auto* animals = window->findChild<QTableView*>("animals")->model();
    auto* animalsTitle = window->findChild<QLabel*>("animalsTitle");
    Press("Missing...");
    QTRY_COMPARE_WITH_TIMEOUT(animalsTitle->text(), QString("Animals of group Heifers not read in download 1: 1"), kBound);
    QCOMPARE(animals->rowCount(), 1);
    QCOMPARE(animals->index(0, 1).data().toString(), QString("18"));

    auto* title = window->findChild<QLabel*>("recordsCount");
    Press("Unknown...");
    QTRY_COMPARE_WITH_TIMEOUT(title->text(), QString("Reads of download 1 whose tag is not in the animal list: 3"), kBound);
    QCOMPARE(shown->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        const QString tag = shown->index(row, kCountryColumn).data().toString() + shown->index(row, kTagColumn).data().toString();
        QVERIFY(tag != first);
    }
}

void WindowTest::aBookThatIsNotABookIsSaidAndLeftAlone() {
    const fs::path path = fs::path(settings->path().toStdString()) / "records.db";
    const std::string text = "a letter to the bank, not a book\n";
    std::ofstream(path, std::ios::binary) << text;
    window = NewWindow();
    auto* status = window->findChild<QLabel*>("bookStatus");
    QTRY_VERIFY_WITH_TIMEOUT(!status->text().isEmpty(), kBound);
    QVERIFY2(status->text().contains(path.c_str()), qPrintable(status->text()));
    // Get Data still saves its file, and the file that is not a book stays as it was.
    reader->SetRecords(GenerateRecords(3));
    ConnectReader();
    MessageBoxAnswerer answerer;
    Press("Get Data");
    QTRY_VERIFY_WITH_TIMEOUT(Idle() && answerer.Seen().size() == 1, kBound);
    QCOMPARE(FilesIn(folder->path()).size(), size_t{1});
    QCOMPARE(ReadAll(path), text);
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
